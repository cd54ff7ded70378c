#pragma once
#include <filesystem>
#include <string_view>
#include <vector>

namespace Orvex::Tools::FontBaker {

// Decodes UTF-8 text into code points. Malformed input (bad lead or continuation bytes,
// overlong forms, surrogates, values past U+10FFFF, a sequence cut off at the end) throws
// BakeError naming `origin` and the byte offset.
std::vector<char32_t> decodeUtf8(std::string_view text, std::string_view origin);

// Reads a UTF-8 character list file; a missing or unreadable file throws BakeError.
std::vector<char32_t> readCharacterFile(const std::filesystem::path& path);

// The sorted, duplicate-free characters to bake: the listed ones (line breaks, other control
// characters and a byte-order mark dropped) plus U+0020..U+007E when `includeAscii`.
// The font file stores UTF-16 code units as ids, so a character outside the Basic
// Multilingual Plane throws BakeError.
std::vector<char32_t> buildCharacterSet(const std::vector<char32_t>& listed, bool includeAscii);

// "U+3042" for messages.
std::string codePointName(char32_t code);

}  // namespace Orvex::Tools::FontBaker
