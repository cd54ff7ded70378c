#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvex::Tools::FontBaker {

// One rendered glyph: an 8-bit coverage bitmap (row by row, `width` bytes a row) and where it
// sits relative to the pen on the baseline (`left` to the right, `top` upwards), in pixels.
struct GlyphBitmap {
    char32_t code = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t advance = 0;
    std::vector<uint8_t> coverage;
};

// A font face opened with FreeType at one pixel size. Throws BakeError when the file cannot
// be opened as a font or the size cannot be set.
class GlyphRasterizer {
public:
    GlyphRasterizer(const std::string& fontFile, uint32_t pixelSize);
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    bool hasGlyph(char32_t code) const;
    // Throws BakeError when the face has no glyph for `code` or FreeType fails to render it.
    GlyphBitmap render(char32_t code) const;
    // Horizontal kerning in whole pixels from the face's kerning table (0 without one).
    int32_t kerning(char32_t left, char32_t right) const;
    bool hasKerning() const;

    int32_t ascender() const;    // pixels above the baseline
    int32_t lineHeight() const;  // the face's recommended line spacing in pixels
    std::string familyName() const;

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
    std::string fontFile_;
};

}  // namespace Orvex::Tools::FontBaker
