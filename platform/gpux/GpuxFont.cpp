#include "platform/gpux/GpuxFont.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/gpux/BuiltinBitmapFont.h"
#include "platform/gpux/TextureIO.h"
#include "platform/kernel/CodePage.h"

namespace Platform::Gpux {

using namespace Gpu;

namespace {

struct Glyph {
    GpuTexture* texture = nullptr;  // null for a glyph without pixels
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;  // from the pen to the bitmap's left edge
    int32_t top = 0;   // from the baseline up to the bitmap's top edge
    int32_t advance = 0;
};

bool sameFamily(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The file of the font fontconfig matches for `family`; with `exact`, only when one of the
// matched font's family names is `family`.
std::string matchFamily(FcConfig* config, const std::string& family, bool exact) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return {};
    }
    std::string file;
    bool familyFound = !exact;
    FcChar8* value = nullptr;
    for (int i = 0; exact && FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
        familyFound = familyFound || sameFamily(reinterpret_cast<const char*>(value), family);
    }
    if (familyFound && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) {
        file = reinterpret_cast<const char*>(value);
    }
    FcPatternDestroy(match);
    return file;
}

GpuTexture* makeGlyphTexture(GpuDevice* device, int32_t width, int32_t height, const std::vector<uint8_t>& coverage) {
    GpuTexture* texture = nullptr;
    if (device->createTexture(nextPowerOfTwo(uint32_t(width)), nextPowerOfTwo(uint32_t(height)), 1, 0, kFormatA8R8G8B8,
                              kPoolManaged, &texture) != kOk) {
        return nullptr;
    }
    LockedRect locked;
    if (texture->lockRect(0, &locked, nullptr, 0) != kOk) {
        texture->release();
        return nullptr;
    }
    // Row by row with the locked pitch: rows may be wider than the glyph.
    auto* base = static_cast<uint8_t*>(locked.bits);
    for (int32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(base + std::size_t(y) * std::size_t(locked.pitch));
        for (int32_t x = 0; x < width; ++x) {
            row[x] = (uint32_t(coverage[std::size_t(y * width + x)]) << 24) | 0x00FFFFFFu;
        }
    }
    texture->unlockRect(0);
    return texture;
}

}  // namespace

void setFaceName(FontDesc& desc, std::u16string_view name) {
    const std::size_t n = std::min(name.size(), kFaceNameUnits - 1);
    std::copy_n(name.begin(), n, desc.faceName);
    std::fill(desc.faceName + n, desc.faceName + kFaceNameUnits, u'\0');
}

std::string findFontFile(std::u16string_view faceName) {
    // A configuration of our own, destroyed after the search: the process-wide one is never
    // freed and would hold whatever it loaded for the life of the program.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return {};
    }
    std::string narrowName;
    Kernel::wideToMultiByte(std::u16string(faceName), narrowName);
    std::string file;
    for (const std::string& family : {narrowName, std::string("IPAPGothic"), std::string("IPAGothic")}) {
        if (!family.empty() && file.empty()) {
            file = matchFamily(config, family, true);
        }
    }
    if (file.empty()) {
        file = matchFamily(config, narrowName.empty() ? std::string("sans-serif") : narrowName, false);
    }
    FcConfigDestroy(config);
    return file;
}

struct GpuxFont::Impl {
    GpuDevice* device = nullptr;
    FontDesc desc;
    std::string file;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int32_t ascent = 0;
    int32_t lineHeight = 0;
    int32_t builtinScale = 1;
    std::unordered_map<char32_t, Glyph> glyphs;

    ~Impl() {
        for (auto& [c, glyph] : glyphs) {
            safeRelease(glyph.texture);
        }
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
        safeRelease(device);
    }

    bool openFace(const std::string& path) {
        if (path.empty() || FT_Init_FreeType(&library) != 0) {
            return false;
        }
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
            face = nullptr;
            return false;
        }
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_CELL;
        request.height = FT_Long(std::max(desc.height, 1)) * 64;
        if (FT_Request_Size(face, &request) != 0) {
            FT_Done_Face(face);
            face = nullptr;
            return false;
        }
        ascent = int32_t((face->size->metrics.ascender + 63) >> 6);
        lineHeight = int32_t((face->size->metrics.height + 63) >> 6);
        file = path;
        return true;
    }

    void useBuiltin() {
        builtinScale = std::max(1, desc.height / (kBuiltinGlyphHeight + 2));
        ascent = kBuiltinGlyphHeight * builtinScale;
        lineHeight = (kBuiltinGlyphHeight + 2) * builtinScale;
        file.clear();
    }

    const Glyph& glyph(char32_t c) {
        auto found = glyphs.find(c);
        if (found != glyphs.end()) {
            return found->second;
        }
        Glyph g;
        std::vector<uint8_t> coverage;
        if (face != nullptr) {
            if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER) == 0) {
                const FT_GlyphSlot slot = face->glyph;
                const FT_Bitmap& bitmap = slot->bitmap;
                g.width = int32_t(bitmap.width);
                g.height = int32_t(bitmap.rows);
                g.left = slot->bitmap_left;
                g.top = slot->bitmap_top;
                g.advance = int32_t((slot->advance.x + 32) >> 6);
                if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && g.width > 0 && g.height > 0) {
                    coverage.resize(std::size_t(g.width) * std::size_t(g.height));
                    for (int32_t y = 0; y < g.height; ++y) {
                        const uint8_t* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
                        std::copy_n(row, g.width, coverage.begin() + std::ptrdiff_t(y) * g.width);
                    }
                }
            }
        } else {
            const int32_t s = builtinScale;
            g.width = kBuiltinGlyphWidth * s;
            g.height = kBuiltinGlyphHeight * s;
            g.left = 0;
            g.top = ascent;
            g.advance = (kBuiltinGlyphWidth + 1) * s;
            if (c == U'\u3000' || c > 0xFF) {
                g.advance = (kBuiltinGlyphWidth + 1) * s * 2;
            }
            coverage.assign(std::size_t(g.width) * std::size_t(g.height), 0);
            bool any = false;
            for (int32_t y = 0; y < g.height; ++y) {
                for (int32_t x = 0; x < g.width; ++x) {
                    const bool set = builtinGlyphPixel(c, x / s, y / s);
                    coverage[std::size_t(y * g.width + x)] = set ? 255 : 0;
                    any = any || set;
                }
            }
            if (!any) {
                coverage.clear();
            }
        }
        if (!coverage.empty()) {
            g.texture = makeGlyphTexture(device, g.width, g.height, coverage);
        }
        return glyphs.emplace(c, g).first->second;
    }
};

GpuxFont::GpuxFont(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

GpuxFont::~GpuxFont() = default;

GpuxFont::Source GpuxFont::source() const {
    return impl_->face != nullptr ? Source::InstalledFont : Source::BuiltinBitmap;
}

const std::string& GpuxFont::fontFile() const { return impl_->file; }

int32_t GpuxFont::lineHeight() const { return impl_->lineHeight; }

Result GpuxFont::getDesc(FontDesc* out) const {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = impl_->desc;
    return kOk;
}

int32_t GpuxFont::drawText(GpuxSprite* sprite, const char16_t* text, int32_t count, const IntRect* rect, uint32_t,
                           uint32_t argb) {
    if (text == nullptr || rect == nullptr) {
        return 0;
    }
    const std::u16string_view units =
        count < 0 ? std::u16string_view(text) : std::u16string_view(text, std::size_t(count));
    GpuxSprite* own = nullptr;
    if (sprite == nullptr) {
        if (createSprite(impl_->device, &own) != kOk || own->begin(kSpriteAlphaBlend) != kOk) {
            safeRelease(own);
            return 0;
        }
        sprite = own;
    }
    int32_t x = rect->left;
    int32_t lineTop = rect->top;
    int32_t lines = units.empty() ? 0 : 1;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (c == U'\n') {
            x = rect->left;
            lineTop += impl_->lineHeight;
            ++lines;
            continue;
        }
        if (c == U'\r') {
            continue;
        }
        const Glyph& g = impl_->glyph(c);
        if (g.texture != nullptr) {
            const IntRect source{0, 0, g.width, g.height};
            sprite->draw(g.texture, &source, float(x + g.left), float(lineTop + impl_->ascent - g.top), argb);
        }
        x += g.advance;
    }
    if (own != nullptr) {
        own->end();
        own->release();
    }
    return lines * impl_->lineHeight;
}

Result createFontFromFile(GpuDevice* device, const FontDesc* desc, const std::string& fontFile, GpuxFont** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = nullptr;
    if (device == nullptr || desc == nullptr) {
        return kErrInvalidCall;
    }
    auto impl = std::make_unique<GpuxFont::Impl>();
    device->addRef();
    impl->device = device;
    impl->desc = *desc;
    impl->desc.faceName[kFaceNameUnits - 1] = u'\0';
    if (!impl->openFace(fontFile)) {
        impl->useBuiltin();
    }
    *out = new GpuxFont(std::move(impl));
    return kOk;
}

Result createFontIndirect(GpuDevice* device, const FontDesc* desc, GpuxFont** out) {
    if (desc == nullptr) {
        return createFontFromFile(device, desc, std::string(), out);
    }
    std::u16string_view face(desc->faceName,
                             std::find(desc->faceName, desc->faceName + kFaceNameUnits, u'\0') - desc->faceName);
    return createFontFromFile(device, desc, findFontFile(face), out);
}

}  // namespace Platform::Gpux
