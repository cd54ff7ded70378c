#pragma once
// printf-style formatting of the system's wide format strings.
//
// The format strings are the system's own texts, written for a platform where "%s" in a wide
// format takes a wide string; this formatter keeps that meaning ("%S" takes a narrow one).
// Supported: flags "-0+ #", width, precision, length modifiers (ignored), and the conversions
// d i u x X o c s S f F e E g G and %%. Arguments are type-checked loosely: a number given for
// "%s" prints as a number, a string given for "%d" prints as the string.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace Orvex::System {

class OxFormatArg {
public:
    using Value = std::variant<int64_t, uint64_t, double, std::u16string_view, std::string_view>;

    template <std::signed_integral T>
    OxFormatArg(T v) : value_(static_cast<int64_t>(v)) {}
    template <std::unsigned_integral T>
    OxFormatArg(T v) : value_(static_cast<uint64_t>(v)) {}
    template <std::floating_point T>
    OxFormatArg(T v) : value_(static_cast<double>(v)) {}
    OxFormatArg(const char16_t* s) : value_(std::u16string_view(s ? s : u"(null)")) {}
    OxFormatArg(const std::u16string& s) : value_(std::u16string_view(s)) {}
    OxFormatArg(std::u16string_view s) : value_(s) {}
    OxFormatArg(const char* s) : value_(std::string_view(s ? s : "(null)")) {}
    OxFormatArg(const std::string& s) : value_(std::string_view(s)) {}
    OxFormatArg(std::string_view s) : value_(s) {}

    const Value& value() const { return value_; }

private:
    Value value_;
};

std::u16string formatWideArgs(std::u16string_view format, std::initializer_list<OxFormatArg> args);

template <typename... Args>
std::u16string formatWide(std::u16string_view format, const Args&... args) {
    return formatWideArgs(format, {OxFormatArg(args)...});
}

}  // namespace Orvex::System
