#include "tools/fontbaker/GlyphRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>

#include "tools/fontbaker/BakeError.h"
#include "tools/fontbaker/CharacterSet.h"

namespace Orvex::Tools::FontBaker {

struct GlyphRasterizer::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Handles() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

// 26.6 fixed point to whole pixels, rounded.
int32_t roundPixels(FT_Pos value) { return static_cast<int32_t>((value + 32) >> 6); }

}  // namespace

GlyphRasterizer::GlyphRasterizer(const std::string& fontFile, uint32_t pixelSize)
    : handles_(std::make_unique<Handles>()), fontFile_(fontFile) {
    if (FT_Init_FreeType(&handles_->library) != 0) throw BakeError("FreeType could not be initialised");
    if (FT_New_Face(handles_->library, fontFile.c_str(), 0, &handles_->face) != 0) {
        throw BakeError(fontFile + ": not a font FreeType can open");
    }
    if (FT_Set_Pixel_Sizes(handles_->face, 0, pixelSize) != 0) {
        throw BakeError(fontFile + ": cannot set the pixel size " + std::to_string(pixelSize));
    }
}

GlyphRasterizer::~GlyphRasterizer() = default;

bool GlyphRasterizer::hasGlyph(char32_t code) const { return FT_Get_Char_Index(handles_->face, code) != 0; }

GlyphBitmap GlyphRasterizer::render(char32_t code) const {
    if (!hasGlyph(code)) throw BakeError(fontFile_ + ": the font has no glyph for " + codePointName(code));
    if (FT_Load_Char(handles_->face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
        throw BakeError(fontFile_ + ": FreeType failed to render " + codePointName(code));
    }
    const FT_GlyphSlot slot = handles_->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    GlyphBitmap glyph;
    glyph.code = code;
    glyph.width = bitmap.width;
    glyph.height = bitmap.rows;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = roundPixels(slot->advance.x);
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    if (glyph.coverage.empty()) return glyph;

    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
        throw BakeError(fontFile_ + ": unexpected bitmap format for " + codePointName(code));
    }
    for (uint32_t y = 0; y < glyph.height; ++y) {
        // A negative pitch means the rows are stored bottom-up.
        const unsigned char* row = bitmap.pitch >= 0
                                       ? bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch
                                       : bitmap.buffer + static_cast<ptrdiff_t>(glyph.height - 1 - y) * -bitmap.pitch;
        uint8_t* out = glyph.coverage.data() + static_cast<size_t>(y) * glyph.width;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const unsigned levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
            for (uint32_t x = 0; x < glyph.width; ++x) out[x] = static_cast<uint8_t>(row[x] * 255u / levels);
        } else {
            for (uint32_t x = 0; x < glyph.width; ++x) out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
    }
    return glyph;
}

bool GlyphRasterizer::hasKerning() const { return FT_HAS_KERNING(handles_->face); }

int32_t GlyphRasterizer::kerning(char32_t left, char32_t right) const {
    if (!hasKerning()) return 0;
    FT_Vector delta{};
    const FT_UInt l = FT_Get_Char_Index(handles_->face, left);
    const FT_UInt r = FT_Get_Char_Index(handles_->face, right);
    if (l == 0 || r == 0 || FT_Get_Kerning(handles_->face, l, r, FT_KERNING_DEFAULT, &delta) != 0) return 0;
    return roundPixels(delta.x);
}

int32_t GlyphRasterizer::ascender() const { return roundPixels(handles_->face->size->metrics.ascender); }

int32_t GlyphRasterizer::lineHeight() const { return roundPixels(handles_->face->size->metrics.height); }

std::string GlyphRasterizer::familyName() const {
    return handles_->face->family_name ? handles_->face->family_name : "";
}

}  // namespace Orvex::Tools::FontBaker
