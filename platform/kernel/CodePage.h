#pragma once
// Conversions between the narrow "system code page" and UTF-16 wide text.
// The system code page is UTF-8 here; a malformed sequence fails the conversion.
#include <string>
#include <string_view>

namespace Platform::Kernel {

// Both leave `out` untouched when they fail.
bool multiByteToWide(std::string_view in, std::u16string& out);
bool wideToMultiByte(std::u16string_view in, std::string& out);

// True for a byte that starts a multi-byte character of the system code page.
bool isLeadByte(unsigned char byte);

}  // namespace Platform::Kernel
