#include "engine/font/OxTextMarkup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "engine/system/OxStringConvert.h"

namespace Orvex::FontLib {
namespace {

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string ascii(const char* s) {
    std::u16string out;
    for (; *s != '\0'; ++s) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s)));
    }
    return out;
}

std::u16string textOf(const boost::any& value) {
    if (const auto* s = boost::any_cast<std::u16string>(&value)) {
        return *s;
    }
    if (const auto* p = boost::any_cast<const char16_t*>(&value)) {
        return *p != nullptr ? std::u16string(*p) : std::u16string();
    }
    if (const auto* p = boost::any_cast<char16_t*>(&value)) {
        return *p != nullptr ? std::u16string(*p) : std::u16string();
    }
    return {};
}

std::u16string formatted(const boost::any* value, char16_t format) {
    if (value == nullptr) {
        return {};
    }
    char buffer[64];
    switch (format) {
        case 0:
        case u's':
        case u'S':
            return textOf(*value);
        case u'd':
        case u'D':
        case u'u':
        case u'U': {
            uint32_t bits = 0;
            if (const auto* i = boost::any_cast<int32_t>(value)) {
                bits = static_cast<uint32_t>(*i);
            } else if (const auto* u = boost::any_cast<uint32_t>(value)) {
                bits = *u;
            } else {
                return {};
            }
            if (format == u'd' || format == u'D') {
                std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(static_cast<int32_t>(bits)));
            } else {
                std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(bits));
            }
            return ascii(buffer);
        }
        case u'f':
        case u'F':
            if (const auto* f = boost::any_cast<float>(value)) {
                // A float's largest magnitude needs under 50 characters; the buffer covers a double's.
                char wide[400];
                std::snprintf(wide, sizeof wide, "%f", static_cast<double>(*f));
                return ascii(wide);
            }
            return {};
        default:
            return {};
    }
}

}  // namespace

std::optional<int32_t> scanDecimal(const std::u16string& text, std::size_t position) {
    std::size_t i = position;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size() || !isDigit(text[i])) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        // Saturate instead of overflowing; such an index is past any list anyway.
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t{1} << 40);
    }
    value = negative ? -value : value;
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}

std::u16string expandPlaceholders(const std::u16string& text, const MarkupParameters& parameters) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'{') {
            out.push_back(text[i++]);
            continue;
        }
        const std::optional<int32_t> index = scanDecimal(text, i + 1);
        std::size_t close = std::u16string::npos;
        char16_t format = 0;
        if (index) {
            for (std::size_t j = i + 2; j < text.size(); ++j) {
                if (text[j] == u'}') {
                    close = j;
                    break;
                }
                if (text[j] == u':') {
                    if (j + 2 < text.size() && text[j + 2] == u'}') {
                        format = text[j + 1];
                        close = j + 2;
                    }
                    break;
                }
            }
        }
        // Only a placeholder with something after it counts.
        if (close == std::u16string::npos || close + 1 >= text.size()) {
            out.push_back(text[i++]);
            continue;
        }
        const boost::any* value = *index >= 0 && static_cast<std::size_t>(*index) < parameters.size()
                                      ? &parameters[static_cast<std::size_t>(*index)]
                                      : nullptr;
        out += formatted(value, format);
        i = close + 1;
    }
    return out;
}

std::optional<MarkupTag> parseTagAt(const std::u16string& text, std::size_t position) {
    if (position + 1 >= text.size() || text[position] != u'<') {
        return std::nullopt;
    }
    MarkupTag tag;
    const char16_t first = text[position + 1];
    if (first == u'/') {
        const std::size_t close = text.find(u'>', position + 1);
        if (close == std::u16string::npos) {
            return std::nullopt;
        }
        tag.name = text.substr(position + 1, close - position - 1);
        tag.end = close + 1;
        return tag;
    }
    if (isDigit(first)) {
        std::size_t i = position + 1;
        std::size_t index = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            index = std::min<std::size_t>(index * 10 + (text[i] - u'0'), std::size_t{1} << 40);
        }
        for (; i < text.size() && text[i] != u':' && text[i] != u'>'; ++i) {
        }
        if (i >= text.size()) {
            return std::nullopt;
        }
        tag.hasIndex = true;
        tag.index = index;
        if (text[i] == u'>') {
            tag.end = i + 1;
            return tag;
        }
        const std::size_t close = text.find(u'>', i + 1);
        if (close == std::u16string::npos) {
            return std::nullopt;
        }
        tag.name = text.substr(i + 1, close - i - 1);
        tag.end = close + 1;
        return tag;
    }
    if (first == u'#') {
        const std::size_t colon = text.find(u':', position + 2);
        if (colon == std::u16string::npos) {
            return std::nullopt;
        }
        const std::size_t close = text.find(u'>', colon + 1);
        if (close == std::u16string::npos) {
            return std::nullopt;
        }
        tag.hasLiteral = true;
        tag.literal = text.substr(position + 2, colon - position - 2);
        tag.name = text.substr(colon + 1, close - colon - 1);
        tag.end = close + 1;
        return tag;
    }
    return std::nullopt;
}

const boost::any* tagParameter(const MarkupTag& tag, const MarkupParameters& parameters) {
    return tag.hasIndex && tag.index < parameters.size() ? &parameters[tag.index] : nullptr;
}

float literalToFloat(const std::u16string& text) {
    // strtod reads in the C locale: the program never changes LC_NUMERIC.
    const std::string narrow = System::narrow(text);
    return static_cast<float>(std::strtod(narrow.c_str(), nullptr));
}

int32_t literalToInt(const std::u16string& text) { return scanDecimal(text, 0).value_or(0); }

int scanFloatList(const std::u16string& text, float out[4]) {
    const std::string narrow = System::narrow(text);
    const char* p = narrow.c_str();
    int count = 0;
    while (count < 4) {
        char* end = nullptr;
        const double value = std::strtod(p, &end);
        if (end == p) {
            break;
        }
        out[count++] = static_cast<float>(value);
        p = end;
        if (*p != ',') {
            break;
        }
        ++p;
    }
    return count;
}

}  // namespace Orvex::FontLib
