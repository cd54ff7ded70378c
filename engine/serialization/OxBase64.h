#pragma once
// Base64 text <-> bytes. Both sides are carried in std::string; bytes may include 0.
#include <cstddef>
#include <string>
#include <string_view>

namespace Orvex::Serialization {

// The standard alphabet; '=' pads.
inline constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Letters, digits, '+' and '/'.
bool isBase64Char(char c);

std::string base64Encode(const void* bytes, size_t length);

// Decoding stops at the first '=' or at the first character outside the alphabet; the rest of
// the text is ignored. A final group of 2 or 3 characters gives 1 or 2 bytes, a single
// leftover character nothing.
std::string base64Decode(const std::string& text);

}  // namespace Orvex::Serialization
