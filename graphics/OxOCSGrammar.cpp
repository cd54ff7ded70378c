#include "graphics/OxOCSGrammar.h"

#include <boost/spirit/home/x3.hpp>

namespace Orvex::Graphics {
namespace {

namespace x3 = boost::spirit::x3;

// Reals with a required decimal point and no "nan" or "inf" spellings.
struct StrictRealPolicies : x3::strict_real_policies<double> {
    template <typename Iterator, typename Attribute>
    static bool parse_nan(Iterator&, Iterator const&, Attribute&) {
        return false;
    }
    template <typename Iterator, typename Attribute>
    static bool parse_inf(Iterator&, Iterator const&, Attribute&) {
        return false;
    }
};

}  // namespace

bool OxOCSGrammar::parse(std::string_view text) {
    using Kind = OxOCSToken::Kind;
    using x3::_attr;
    using x3::lit;
    // Characters are bytes; letters, digits and white space are ASCII only.
    const auto any = x3::standard::char_;
    const auto white = x3::standard::char_(" \t\n\v\f\r");
    const auto letter = x3::standard::char_("a-zA-Z_");
    const auto letterOrDigit = x3::standard::char_("a-zA-Z0-9_");
    const auto eol = lit('\n');

    // Tokens are made in place: a moved-from temporary variant trips a false uninitialised warning.
    auto add = [this](Kind kind) -> OxOCSToken& {
        tokens_.emplace_back();
        tokens_.back().kind = kind;
        return tokens_.back();
    };
    auto push = [add](Kind kind) { return [add, kind](auto&) { add(kind); }; };
    auto onIdentifier = [add](auto& ctx) {
        const auto& range = _attr(ctx);
        add(Kind::Identifier).value.template emplace<std::string>(range.begin(), range.end());
    };
    auto onReal = [add](auto& ctx) { add(Kind::Real).value.template emplace<float>(static_cast<float>(_attr(ctx))); };
    auto onUnsigned = [add](auto& ctx) { add(Kind::Unsigned).value.template emplace<uint32_t>(_attr(ctx)); };
    auto onStringStart = [this](auto&) { buffer_.clear(); };
    auto onStringChar = [this](auto& ctx) { buffer_.push_back(_attr(ctx)); };
    auto onStringEnd = [this, add](auto&) { add(Kind::String).value.template emplace<std::string>(buffer_); };

    const auto blank = white | (lit("//") >> *(any - eol)) | (lit("/*") >> *(any - lit("*/")) >> lit("*/"));
    const auto identifier = x3::raw[letter >> *letterOrDigit][onIdentifier];
    // The mantissa must hold the point: "1e3" is no real (it reads as 1 and the identifier e3).
    const auto digit = x3::standard::char_("0-9");
    const auto pointedMantissa = -x3::standard::char_("+-") >> ((+digit >> lit('.')) | (lit('.') >> digit));
    const auto real = &pointedMantissa >> x3::real_parser<double, StrictRealPolicies>{}[onReal];
    const auto unsignedValue = x3::uint_parser<uint32_t>{}[onUnsigned];
    const auto string = lit('"')[onStringStart] >> *(any - lit('"'))[onStringChar] >> lit('"')[onStringEnd];
    const auto value = real | unsignedValue | string;
    const auto token = identifier | lit('{')[push(Kind::BlockBegin)] | lit('}')[push(Kind::BlockEnd)] | lit('(') |
                       lit(')') | lit(';')[push(Kind::StatementEnd)] | lit(',') | value;
    const auto script = *(*blank >> token >> *blank);

    auto first = text.begin();
    const bool matched = x3::parse(first, text.end(), script);
    return matched && first == text.end();
}

}  // namespace Orvex::Graphics
