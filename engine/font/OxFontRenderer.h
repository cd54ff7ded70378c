#pragma once
// Lays out and draws one text with one bitmap font through the sprite drawer, in mark-up mode
// (placeholders and tags, see OxTextMarkup.h) or plain. The caller brackets the drawing with the
// sprite drawer's begin and end; the renderer sets its blend modes and resets them at the end.
#include <memory>
#include <string>
#include <vector>

#include <boost/any.hpp>

#include "engine/font/OxFont.h"
#include "engine/font/OxTextMarkup.h"
#include "engine/font/OxTextureTagObject.h"
#include "engine/graphics/OxColor.h"
#include "engine/system/binary_search_map.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::FontLib {

class OxFontRenderer {
public:
    OxFontRenderer(Graphics::IOrvexRenderer* renderer, const std::shared_ptr<OxFont>& font);
    OxFontRenderer(const OxFontRenderer&) = delete;
    OxFontRenderer& operator=(const OxFontRenderer&) = delete;
    virtual ~OxFontRenderer() = default;

    // `icon` holds an OxTextureTagObject; stores or replaces it under the name.
    void registerIcon(const std::u16string& name, const boost::any& icon);
    void removeIcon(const std::u16string& name);

    // Mark-up mode at (penX, penY). A tag whose argument is missing or of the wrong type has no
    // effect; "/COLOR" with nothing pushed restores white.
    void drawText(const std::u16string& text, const MarkupParameters& parameters);
    // The same layout without placeholders or tags.
    void drawPlainText(const std::u16string& text, float x, float y);
    void update(float elapsedSeconds);

    float penX = 0.0f;
    float penY = 0.0f;
    bool monospace = false;
    float monospaceWidth = 0.0f;
    float spacing = 0.0f;

    const std::shared_ptr<OxFont>& getFont() const { return font_; }

private:
    void layout(const std::u16string& text, float startX, float startY, bool markup,
                const MarkupParameters* parameters);
    void applyTag(const MarkupTag& tag, const MarkupParameters& parameters);
    void setPendingIcon(const MarkupTag& tag, const MarkupParameters& parameters, float width);
    float unit() const;
    float advance(char16_t c, const OxCharDesc* glyph) const;

    Graphics::IOrvexRenderer* renderer_;
    std::shared_ptr<OxFont> font_;
    uint32_t tabPhase_ = 4;
    System::binary_search_map<std::u16string, boost::any> icons_;

    // State of one draw call, reset at its start.
    std::vector<Graphics::OxColor> colourStack_;
    uint32_t column_ = 0;
    Graphics::OxColor colour_{1, 1, 1, 1};
    float penOffset_ = 0.0f;
    const OxTextureTagObject* pendingIcon_ = nullptr;
    float iconWidth_ = 0.0f;
};

}  // namespace Orvex::FontLib
