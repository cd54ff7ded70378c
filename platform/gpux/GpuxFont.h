#pragma once
// The text font object of the device helpers: renders UTF-16 text with FreeType from an
// installed font found through fontconfig and draws it through a sprite object.
//
// Creating a font never fails for a valid device: the face asked for is used when installed,
// else a Japanese Gothic (IPAPGothic, then IPAGothic), else whatever font fontconfig offers, else
// the small bitmap font built into the program.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gpux/GpuxSprite.h"

namespace Platform::Gpux {

inline constexpr std::size_t kFaceNameUnits = 32;  // terminator included

struct FontDesc {
    int32_t height = 0;  // cell height in pixels
    uint32_t width = 0;
    uint32_t weight = 400;
    uint32_t mipLevels = 1;
    bool italic = false;
    uint8_t charSet = 0;
    uint8_t outputPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char16_t faceName[kFaceNameUnits] = {};
};

// Copies at most 31 units of the name and always terminates it.
void setFaceName(FontDesc& desc, std::u16string_view name);

enum TextFormat : uint32_t { kTextNoClip = 0x100 };

class GpuxFont : public Gpu::GpuObject {
public:
    enum class Source { InstalledFont, BuiltinBitmap };

    // Draws `count` units of the text (-1: up to its terminator) with its top-left corner at the
    // rectangle's top-left corner, line feeds starting new lines. Left and top aligned, no
    // clipping. Draws through the sprite, which must be begun; with a null sprite the font
    // brackets the drawing with its own. Returns the height of the text drawn, 0 on failure.
    virtual int32_t drawText(GpuxSprite* sprite, const char16_t* text, int32_t count, const Gpu::IntRect* rect,
                             uint32_t format, uint32_t argb);
    virtual Result getDesc(FontDesc* out) const;

    Source source() const;
    // The font file in use (empty for the built-in bitmap font).
    const std::string& fontFile() const;
    int32_t lineHeight() const;

    struct Impl;
    explicit GpuxFont(std::unique_ptr<Impl> impl);

protected:
    ~GpuxFont() override;

private:
    std::unique_ptr<Impl> impl_;
};

// A new font object (count 1). kErrInvalidCall for a null device or description.
Result createFontIndirect(Gpu::GpuDevice* device, const FontDesc* desc, GpuxFont** out);
// The same with a given font file instead of the fontconfig search; a file that cannot be opened
// gives the built-in bitmap font.
Result createFontFromFile(Gpu::GpuDevice* device, const FontDesc* desc, const std::string& fontFile, GpuxFont** out);

// The font file the search above settles on for a face name; empty when fontconfig offers none.
std::string findFontFile(std::u16string_view faceName);

}  // namespace Platform::Gpux
