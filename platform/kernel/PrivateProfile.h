#pragma once
// Initialisation files of sections and "key=value" lines, read and written the way the game's
// settings code expects: section and key names compare case-insensitively (ASCII), the first
// match wins, values are trimmed and lose one pair of surrounding double quotes.
// Files are UTF-8 (a byte-order mark is allowed) or UTF-16 (either byte order) with its
// byte-order mark. A file that exists but cannot be read (a folder, no permission) reads as
// absent; `profileReadProblem` tells why.
#include <cstdint>
#include <string>
#include <string_view>

namespace Platform::Kernel {

// What keeps an existing file from being read ("is not a regular file", "cannot be opened" …);
// empty when it can be read or does not exist.
std::u16string profileReadProblem(std::u16string_view path);

// The leading decimal digits of the value (an optional sign first); a value that is not a
// number reads as 0, a negative one as 0. An absent file, section or key gives `defaultValue`.
uint32_t getPrivateProfileInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue,
                              std::u16string_view path);

// Copies the value (or `defaultValue`) into `out`, cut to `bufferSize` - 1 units when it does
// not fit, and returns the number of units copied, as a fixed-size buffer read would.
uint32_t getPrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                                 std::u16string& out, uint32_t bufferSize, std::u16string_view path);

// Sets the key's value, adding the section or key when missing; the other lines stay as they
// are. The file is replaced through a temporary file, so a failed write leaves the old one.
bool writePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view path);

}  // namespace Platform::Kernel
