#include "engine/serialization/OxBase64.h"

#include <array>
#include <cstdint>

namespace Orvex::Serialization {

namespace {

// Alphabet index of a character that passed isBase64Char (computed: a search of the alphabet
// per character made decoding a whole floor's map data slow).
uint8_t indexOf(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<uint8_t>(c - 'A');
    }
    if (c >= 'a' && c <= 'z') {
        return static_cast<uint8_t>(c - 'a' + 26);
    }
    if (c >= '0' && c <= '9') {
        return static_cast<uint8_t>(c - '0' + 52);
    }
    return c == '+' ? 62 : 63;
}

}  // namespace

bool isBase64Char(char c) {
    // Plain ASCII tests, independent of the C locale.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

std::string base64Encode(const void* bytes, size_t length) {
    const auto* in = static_cast<const uint8_t*>(bytes);
    std::string text;
    text.reserve((length + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const uint8_t b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
        text += kBase64Alphabet[b0 >> 2];
        text += kBase64Alphabet[((b0 & 3) << 4) + (b1 >> 4)];
        text += kBase64Alphabet[((b1 & 15) << 2) + (b2 >> 6)];
        text += kBase64Alphabet[b2 & 63];
    }
    const size_t rest = length - i;
    if (rest > 0) {
        const uint8_t b0 = in[i];
        const uint8_t b1 = rest == 2 ? in[i + 1] : 0;
        text += kBase64Alphabet[b0 >> 2];
        text += kBase64Alphabet[((b0 & 3) << 4) + (b1 >> 4)];
        text += rest == 2 ? kBase64Alphabet[(b1 & 15) << 2] : '=';
        text += '=';
    }
    return text;
}

std::string base64Decode(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    std::array<uint8_t, 4> group{};
    size_t filled = 0;
    for (const char c : text) {
        if (c == '=' || !isBase64Char(c)) {
            break;
        }
        group[filled++] = indexOf(c);
        if (filled == 4) {
            bytes += static_cast<char>((group[0] << 2) + ((group[1] >> 4) & 3));
            bytes += static_cast<char>(((group[1] & 15) << 4) + ((group[2] >> 2) & 15));
            bytes += static_cast<char>(((group[2] & 3) << 6) + group[3]);
            filled = 0;
        }
    }
    if (filled >= 2) {
        for (size_t k = filled; k < 4; ++k) {
            group[k] = 0;
        }
        const char out[3] = {
            static_cast<char>((group[0] << 2) + ((group[1] >> 4) & 3)),
            static_cast<char>(((group[1] & 15) << 4) + ((group[2] >> 2) & 15)),
            static_cast<char>(((group[2] & 3) << 6) + group[3]),
        };
        bytes.append(out, filled - 1);
    }
    return bytes;
}

}  // namespace Orvex::Serialization
