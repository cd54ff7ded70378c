#pragma once
// The game's window widget: a rectangle framed from the nine cells of the common frame texture,
// with an optional title bar, showing either a marked-up text or a vertical list of selectable
// entries with a blinking selection bar. Menus, scene layers, the message log and the script
// module build their windows from it: they set the public fields and the entries, call `update`
// once a frame and `draw` inside their sprite-drawing pass. Game thread only.
#include <boost/noncopyable.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/font/OxTextMarkup.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/system/shared_vector_ptr.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {
class OxFontRenderer;
}

namespace Fenwarrow {

// What a window reaches of the running game. The game manager implements it; tests give a
// window one that supplies the same services from explicit objects.
class IGeneralWindowContext {
public:
    virtual ~IGeneralWindowContext() = default;
    // The renderer the window's font renderer draws with (its sprite drawing draws the frame).
    virtual Orvex::Graphics::IOrvexRenderer* getRenderer() = 0;
    // A common texture with one more reference for the caller, or null (0 frame, 1 icon sheet).
    virtual Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t index) = 0;
    // A system sound (0 decide, 2 cursor), or null.
    virtual std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) = 0;
    // The key table input readers use this frame, or null.
    virtual Orvex::InputSystem::OxVirtualKey* getVirtualKey() = 0;
};

class CGeneralWindow : boost::noncopyable {
public:
    static constexpr uint32_t kModeText = 0;
    static constexpr uint32_t kModeList = 1;
    static constexpr float kMinimumSize = 128.0f;

    class CListItem {
    public:
        using Callback = std::function<void(CListItem*, int32_t)>;

        CListItem() = default;
        CListItem(std::u16string text, Callback callback, uint32_t value)
            : text(std::move(text)), value(value), callback(std::move(callback)) {}

        std::u16string text;  // mark-up
        uint32_t value = 0;   // chosen by the owner
        Callback callback;    // called on decide with (this item, the selected index); may be empty
    };

    // A window whose services come from the given context (which must not be null).
    explicit CGeneralWindow(std::shared_ptr<IGeneralWindowContext> context);
    virtual ~CGeneralWindow();

    // Back to the state of a new window: uncreated, resources released, fields at their start.
    void reset();
    // Takes the sprite drawing and the common frame texture, registers the item icons in the
    // font renderer and sets the colour parameters. True when already created (nothing changes);
    // false for a null font renderer (the window stays uncreated).
    bool create(const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& fontRenderer);

    void setWindowMode(uint32_t mode) { windowMode_ = mode; }
    uint32_t getWindowMode() const { return windowMode_; }
    // Each dimension is raised to 128 when smaller.
    void setWindowSize(const float size[2]);
    float getWidth() const { return width_; }
    float getHeight() const { return height_; }

    // Selects the entry; -1 selects nothing. False (and no change) for any other index that is
    // not an entry.
    bool setSelectItemIndex(int32_t index);
    int32_t getSelectedItemIndex() const { return selectedIndex_; }
    // The entry, or empty when there is none at that index.
    std::shared_ptr<CListItem> getListItem(uint32_t index) const { return items_.at(index); }
    uint32_t getListItemCount() const { return static_cast<uint32_t>(items_.size()); }
    // Removes every entry and selects nothing.
    void clearListItem();
    // Appending never changes the selection.
    void addListItem(const std::shared_ptr<CListItem>& item);
    void addListItem(const std::u16string& text, uint32_t value);
    void addListItemEx(const std::u16string& text, CListItem::Callback callback, uint32_t value);

    // The list's blink and keys (list mode), then the font renderer's update.
    void update(float elapsedSeconds);
    // Frame, title and content, inside the caller's sprite-drawing pass.
    void draw();

    bool isCreated() const { return created_; }
    const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& getFontRenderer() const { return fontRenderer_; }
    const Orvex::FontLib::MarkupParameters& getParameters() const { return params_; }
    // Replaces the mark-up parameters `create` set (the colours) for the texts that read others.
    void setParameters(Orvex::FontLib::MarkupParameters parameters) { params_ = std::move(parameters); }
    float getCursorAlpha() const { return cursorAlpha_; }

    // Set directly by the owners.
    float x = 0.0f;
    float y = 0.0f;
    bool showTitle = false;
    std::u16string title;
    std::u16string text;
    bool focused = true;
    bool frameVisible = true;
    bool textVisible = true;

private:
    void releaseResources();
    void registerIcons();
    void updateList(float elapsedSeconds);
    void playSystemSE(int32_t index);
    void drawFrame();
    // Draws the title bar and title when shown; returns the top of the content.
    float drawTitle();
    void drawTextContent();
    void drawList();
    float rowTextOffset() const;
    void drawCell(uint32_t cell, float left, float top, float width, float height);

    std::shared_ptr<IGeneralWindowContext> context_;
    bool created_ = false;
    Orvex::Graphics::IOrvexSpriteDraw* spriteDraw_ = nullptr;  // borrowed from the renderer
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> fontRenderer_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> frameTexture_;
    uint32_t windowMode_ = kModeText;
    Orvex::FontLib::MarkupParameters params_;
    float width_ = kMinimumSize;
    float height_ = kMinimumSize;
    Orvex::System::shared_vector_ptr<CListItem> items_;
    int32_t selectedIndex_ = -1;
    float cursorAlpha_ = 0.6f;
    float cursorSpeed_ = -0.4f;
};

}  // namespace Fenwarrow
