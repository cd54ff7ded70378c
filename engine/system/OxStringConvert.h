#pragma once
// Narrow (system code page, UTF-8 here) <-> wide (UTF-16) conversions.
#include <string>

namespace Orvex::System {

// Both assign `out` only on success; malformed input fails.
bool toWideString(const std::string& in, std::u16string& out);
bool toMultiByteString(const std::u16string& in, std::string& out);

// Lenient forms for diagnostics: what cannot be converted becomes '?'.
std::u16string widen(std::string_view in);
std::string narrow(std::u16string_view in);

}  // namespace Orvex::System
