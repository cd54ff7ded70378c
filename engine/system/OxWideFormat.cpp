#include "engine/system/OxWideFormat.h"

#include <cstdio>
#include <limits>

#include "engine/system/OxStringConvert.h"

namespace Orvex::System {
namespace {

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    char16_t conversion = 0;
};

bool isFlag(char16_t c) { return c == u'-' || c == u'0' || c == u'+' || c == u' ' || c == u'#'; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int readNumber(std::u16string_view format, size_t& i) {
    int n = 0;
    while (i < format.size() && isDigit(format[i])) {
        n = n * 10 + (format[i] - u'0');
        ++i;
    }
    return n;
}

// Parses the conversion after '%' at format[i]; leaves i past it. False for an incomplete spec.
bool parseSpec(std::u16string_view format, size_t& i, Spec& spec) {
    while (i < format.size() && isFlag(format[i])) {
        spec.flags.push_back(static_cast<char>(format[i++]));
    }
    if (i < format.size() && isDigit(format[i])) {
        spec.width = readNumber(format, i);
    }
    if (i < format.size() && format[i] == u'.') {
        ++i;
        spec.precision = readNumber(format, i);
    }
    while (i < format.size() && (format[i] == u'l' || format[i] == u'h' || format[i] == u'L' || format[i] == u'z' ||
                                 format[i] == u'j' || format[i] == u't' || format[i] == u'I' || isDigit(format[i]))) {
        ++i;  // length modifiers, including the "I64" spelling
    }
    if (i >= format.size()) {
        return false;
    }
    spec.conversion = format[i++];
    return true;
}

std::string printfSpec(const Spec& spec, const char* length, char conversion) {
    std::string out = "%" + spec.flags;
    if (spec.width >= 0) {
        out += std::to_string(spec.width);
    }
    if (spec.precision >= 0) {
        out += "." + std::to_string(spec.precision);
    }
    return out + length + conversion;
}

template <typename T>
std::u16string printNumber(const Spec& spec, const char* length, char conversion, T value) {
    const std::string fmt = printfSpec(spec, length, conversion);
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, fmt.c_str(), value);
    return widen(std::string_view(buffer, n < 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1)));
}

std::u16string padText(const Spec& spec, std::u16string text) {
    if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision)) {
        text.resize(static_cast<size_t>(spec.precision));
    }
    if (spec.width > 0 && text.size() < static_cast<size_t>(spec.width)) {
        const std::u16string pad(static_cast<size_t>(spec.width) - text.size(), u' ');
        text = spec.flags.find('-') != std::string::npos ? text + pad : pad + text;
    }
    return text;
}

int64_t asSigned(const OxFormatArg::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return *i;
    if (const auto* u = std::get_if<uint64_t>(&v)) return static_cast<int64_t>(*u);
    if (const auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
    return 0;
}

// The system's integers are 32 bits wide: a negative 32-bit value printed unsigned shows its
// 32-bit pattern, as it would there.
uint64_t asUnsigned(const OxFormatArg::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) {
        if (*i < 0 && *i >= std::numeric_limits<int32_t>::min()) {
            return static_cast<uint32_t>(static_cast<int32_t>(*i));
        }
        return static_cast<uint64_t>(*i);
    }
    if (const auto* u = std::get_if<uint64_t>(&v)) return *u;
    if (const auto* d = std::get_if<double>(&v)) return static_cast<uint64_t>(*d);
    return 0;
}

double asDouble(const OxFormatArg::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    if (const auto* u = std::get_if<uint64_t>(&v)) return static_cast<double>(*u);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    return 0.0;
}

std::u16string asText(const OxFormatArg::Value& v) {
    if (const auto* w = std::get_if<std::u16string_view>(&v)) return std::u16string(*w);
    if (const auto* n = std::get_if<std::string_view>(&v)) return widen(*n);
    return {};
}

bool isText(const OxFormatArg::Value& v) {
    return std::holds_alternative<std::u16string_view>(v) || std::holds_alternative<std::string_view>(v);
}

std::u16string formatOne(const Spec& spec, const OxFormatArg::Value& v) {
    if (isText(v) && spec.conversion != u's' && spec.conversion != u'S') {
        return padText(Spec{spec.flags, spec.width, -1, u's'}, asText(v));
    }
    switch (spec.conversion) {
        case u'd':
        case u'i':
            return printNumber(spec, "ll", 'd', static_cast<long long>(asSigned(v)));
        case u'u':
        case u'x':
        case u'X':
        case u'o':
            return printNumber(spec, "ll", static_cast<char>(spec.conversion),
                               static_cast<unsigned long long>(asUnsigned(v)));
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
            return printNumber(spec, "", static_cast<char>(spec.conversion), asDouble(v));
        case u'c':
            return padText(spec, std::u16string(1, static_cast<char16_t>(asUnsigned(v))));
        case u's':
        case u'S':
            if (!isText(v)) {
                return printNumber(Spec{spec.flags, spec.width, -1, u'd'}, "ll", 'd',
                                   static_cast<long long>(asSigned(v)));
            }
            return padText(spec, asText(v));
        default:
            return {};
    }
}

}  // namespace

std::u16string formatWideArgs(std::u16string_view format, std::initializer_list<OxFormatArg> args) {
    std::u16string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < format.size();) {
        const char16_t c = format[i++];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (i < format.size() && format[i] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        const size_t start = i - 1;
        Spec spec;
        if (!parseSpec(format, i, spec)) {
            out.append(format.substr(start));  // a dangling '%' stays as written
            break;
        }
        if (next == args.end()) {
            continue;  // a missing argument prints nothing rather than reading garbage
        }
        out += formatOne(spec, (next++)->value());
    }
    return out;
}

}  // namespace Orvex::System
