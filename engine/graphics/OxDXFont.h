#pragma once
// The program's own text font for debug and version text, drawn through an OxDXSprite.
#include <cstdint>
#include <string>

#include "engine/graphics/OxDXSprite.h"
#include "engine/system/OxWideFormat.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpux/GpuxFont.h"

namespace Orvex::Graphics {

struct OxDXFontDesc {
    uint32_t height = 16;
    std::u16string faceName = u"ＭＳ Ｐゴシック";
};

class OxDXFont {
public:
    // Formatted text longer than this many units (terminator included) is cut.
    static constexpr std::size_t kFormatBufferUnits = 1024;

    OxDXFont() = default;
    OxDXFont(const OxDXFont&) = delete;
    OxDXFont& operator=(const OxDXFont&) = delete;
    virtual ~OxDXFont();

    // Creates the font on the sprite's device from the description (the default one when null).
    // Face names longer than 31 units are cut. False, and released, on failure.
    bool create(OxDXSprite* sprite, const OxDXFontDesc* description);
    // Drops the font, resets the description and forgets the sprite; called before a reset.
    void release();
    // Draws with the top-left corner at (x, y), no clipping; false without a font.
    bool drawText(int32_t x, int32_t y, const std::u16string& text, uint32_t argb);
    // The system's wide printf ("%s" is a wide string) into the bounded buffer, then drawText.
    template <typename... Args>
    bool drawFormattedText(int32_t x, int32_t y, uint32_t argb, std::u16string_view format, const Args&... args) {
        return drawText(x, y, boundedText(System::formatWide(format, args...)), argb);
    }

    // The text as the bounded buffer holds it: at most kFormatBufferUnits - 1 units, never
    // ending in half of a surrogate pair.
    static std::u16string boundedText(std::u16string text);

    const OxDXFontDesc& getDescription() const { return description_; }
    Platform::Gpux::GpuxFont* getFont() const { return font_.get(); }
    OxDXSprite* getSprite() const { return sprite_; }

private:
    OxDXSprite* sprite_ = nullptr;  // not owned
    OxDXFontDesc description_;
    OxRefPtr<Platform::Gpux::GpuxFont> font_;
};

}  // namespace Orvex::Graphics
