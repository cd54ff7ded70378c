#pragma once
// The base of the engine's fonts: size, line metrics, the glyph table and the page textures.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/font/OxCharDesc.h"
#include "engine/system/binary_search_map.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {

class OxFont {
public:
    using GlyphMap = System::binary_search_map<uint32_t, std::shared_ptr<OxCharDesc>>;

    OxFont() = default;
    OxFont(const OxFont&) = delete;
    OxFont& operator=(const OxFont&) = delete;
    virtual ~OxFont() = default;

    // Empties the font: name, metrics, glyphs and pages (their references released).
    virtual void reset();
    // 0 on success, else a negative result code.
    virtual uint32_t load(const std::u16string& name) = 0;

    // The glyph of a UTF-16 code unit, or null.
    const OxCharDesc* findGlyph(char16_t c) const;
    // Keeps one reference to the texture (null allowed); releases the page's previous one.
    void setPage(std::size_t index, Graphics::IOrvexTexture* texture);
    // The page's texture (borrowed), or null when the index is not below the page count.
    Graphics::IOrvexTexture* getPage(uint32_t index) const;
    void resizePages(std::size_t count);

    std::u16string name;
    uint32_t fontSize = 0;
    uint32_t lineHeight = 0;
    uint32_t base = 0;
    GlyphMap glyphs;
    std::vector<Graphics::OxRefPtr<Graphics::IOrvexTexture>> pages;  // null where a page is missing
};

}  // namespace Orvex::FontLib
