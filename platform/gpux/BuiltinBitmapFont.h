#pragma once
// A tiny bitmap font compiled into the program: 3 x 5 cells for digits, capital letters (small
// letters are drawn as capitals) and common punctuation; other characters show as a filled
// block. The text font falls back to it when no installed font can be opened.
#include <cstdint>

namespace Platform::Gpux {

inline constexpr int kBuiltinGlyphWidth = 3;
inline constexpr int kBuiltinGlyphHeight = 5;

// True when the cell's pixel (x, y) of the character is set; a space sets none.
bool builtinGlyphPixel(char32_t c, int x, int y);

}  // namespace Platform::Gpux
