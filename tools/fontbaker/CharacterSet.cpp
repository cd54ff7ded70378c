#include "tools/fontbaker/CharacterSet.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/fontbaker/BakeError.h"

namespace Orvex::Tools::FontBaker {

namespace {

[[noreturn]] void malformed(std::string_view origin, size_t offset, const char* what) {
    throw BakeError(std::string(origin) + ": invalid UTF-8 at byte " + std::to_string(offset) + " (" + what + ")");
}

}  // namespace

std::string codePointName(char32_t code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(code));
    return buffer;
}

std::vector<char32_t> decodeUtf8(std::string_view text, std::string_view origin) {
    std::vector<char32_t> codes;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            codes.push_back(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        } else {
            malformed(origin, i, "bad lead byte");
        }
        if (text.size() - i < length) malformed(origin, i, "sequence cut off at the end");
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) malformed(origin, i, "bad continuation byte");
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum) malformed(origin, i, "overlong form");
        if (code >= 0xD800 && code <= 0xDFFF) malformed(origin, i, "surrogate code point");
        if (code > 0x10FFFF) malformed(origin, i, "beyond U+10FFFF");
        codes.push_back(code);
        i += length;
    }
    return codes;
}

std::vector<char32_t> readCharacterFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BakeError(path.string() + ": cannot open the character list");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw BakeError(path.string() + ": cannot read the character list");
    return decodeUtf8(text, path.string());
}

std::vector<char32_t> buildCharacterSet(const std::vector<char32_t>& listed, bool includeAscii) {
    std::vector<char32_t> set;
    if (includeAscii) {
        for (char32_t c = 0x20; c <= 0x7E; ++c) set.push_back(c);
    }
    for (char32_t c : listed) {
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0xFEFF) continue;
        if (c > 0xFFFF) {
            throw BakeError("character " + codePointName(c) +
                            " lies outside the Basic Multilingual Plane; font ids are UTF-16 code units");
        }
        set.push_back(c);
    }
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    return set;
}

}  // namespace Orvex::Tools::FontBaker
