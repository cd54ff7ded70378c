#include "game/generalwindow/CGeneralWindow.h"

#include <array>
#include <boost/any.hpp>

#include "engine/font/OxFontRenderer.h"
#include "engine/font/OxTextureTagObject.h"
#include "engine/graphics/OxColor.h"

namespace Fenwarrow {

namespace {

using Orvex::Graphics::OxColor;
using Orvex::Graphics::OxRect;

// Virtual keys and system sounds the list reacts with.
constexpr uint32_t kKeyUp = 0;
constexpr uint32_t kKeyDown = 2;
constexpr uint32_t kKeyDecide = 5;
constexpr int32_t kSoundDecide = 0;
constexpr int32_t kSoundCursor = 2;

constexpr int32_t kFrameTexture = 0;
constexpr int32_t kIconTexture = 1;
constexpr float kCell = 64.0f;
constexpr float kRowHeight = 40.0f;
constexpr float kTitleHeight = 40.0f;

constexpr float kCursorAlphaHigh = 0.6f;
constexpr float kCursorAlphaLow = 0.3f;
constexpr float kCursorSpeed = 0.4f;

// The icon sheet's marks for item categories and further states: a full icon is 40 texels wide,
// a half one 20; all are 40 high.
struct IconCell {
    const char16_t* name;
    float x;
    float y;
    float width;
};
constexpr std::array<IconCell, 17> kIcons = {{
    {u"Shield", 0, 0, 40},
    {u"Weapon", 64, 0, 40},
    {u"Tag", 128, 0, 40},
    {u"Card", 192, 0, 40},
    {u"Hollow", 0, 64, 40},
    {u"Amulet", 64, 64, 40},
    {u"Money", 128, 64, 40},
    {u"Cake", 192, 64, 40},
    {u"Power", 0, 128, 40},
    {u"Drug", 64, 128, 40},
    {u"Other", 128, 128, 40},
    {u"Error", 192, 128, 20},
    {u"Equipped", 0, 192, 20},
    {u"Blessed", 64, 192, 20},
    {u"Evil", 128, 192, 40},
    {u"Newspaper", 192, 192, 40},
    {u"Trap", 128, 128, 40},
}};
constexpr float kIconHeight = 40.0f;

// The colours window texts refer to by parameter index.
Orvex::FontLib::MarkupParameters colourParameters() {
    Orvex::FontLib::MarkupParameters params = {
        OxColor{1.0f, 1.0f, 0.0f, 1.0f},
        OxColor{0.0f, 0.5f, 1.0f, 1.0f},
        OxColor{0.0f, 1.0f, 0.2f, 1.0f},
        OxColor{1.0f, 0.0f, 0.0f, 1.0f},
    };
    while (params.size() < 10) {
        params.emplace_back(OxColor{1.0f, 1.0f, 1.0f, 1.0f});
    }
    return params;
}

}  // namespace

CGeneralWindow::CGeneralWindow(std::shared_ptr<IGeneralWindowContext> context) : context_(std::move(context)) {
    reset();
}

CGeneralWindow::~CGeneralWindow() { reset(); }

void CGeneralWindow::releaseResources() {
    spriteDraw_ = nullptr;
    fontRenderer_.reset();
    frameTexture_.reset();
}

void CGeneralWindow::reset() {
    created_ = false;
    releaseResources();
    windowMode_ = kModeText;
    focused = true;
    showTitle = false;
    title.clear();
    text.clear();
    params_.clear();
    x = 0.0f;
    y = 0.0f;
    width_ = kMinimumSize;
    height_ = kMinimumSize;
    clearListItem();
    cursorAlpha_ = kCursorAlphaHigh;
    cursorSpeed_ = -kCursorSpeed;
    frameVisible = true;
    textVisible = true;
}

bool CGeneralWindow::create(const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& fontRenderer) {
    if (created_) {
        return true;
    }
    if (!fontRenderer) {
        return false;
    }
    created_ = true;
    Orvex::Graphics::IOrvexRenderer* renderer = context_->getRenderer();
    spriteDraw_ = renderer != nullptr ? renderer->getSpriteDraw() : nullptr;
    fontRenderer_ = fontRenderer;
    frameTexture_ =
        Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(context_->getCommonTexture(kFrameTexture));
    frameVisible = true;
    textVisible = true;
    registerIcons();
    params_ = colourParameters();
    return true;
}

void CGeneralWindow::registerIcons() {
    const auto sheet =
        Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(context_->getCommonTexture(kIconTexture));
    for (const IconCell& icon : kIcons) {
        auto source = std::make_shared<Orvex::FontLib::OxTextureTagObject::SourceRect>(
            Orvex::FontLib::OxTextureTagObject::SourceRect{icon.x, icon.y, icon.x + icon.width, icon.y + kIconHeight});
        // Each icon keeps a reference of its own.
        fontRenderer_->registerIcon(icon.name, boost::any(Orvex::FontLib::OxTextureTagObject(sheet.get(), source)));
    }
}

void CGeneralWindow::setWindowSize(const float size[2]) {
    width_ = size[0] < kMinimumSize ? kMinimumSize : size[0];
    height_ = size[1] < kMinimumSize ? kMinimumSize : size[1];
}

bool CGeneralWindow::setSelectItemIndex(int32_t index) {
    if (index < -1 || index >= static_cast<int32_t>(items_.size())) {
        return false;
    }
    selectedIndex_ = index;
    return true;
}

void CGeneralWindow::clearListItem() {
    items_.clear();
    selectedIndex_ = -1;
}

void CGeneralWindow::addListItem(const std::shared_ptr<CListItem>& item) { items_.push_back(item); }

void CGeneralWindow::addListItem(const std::u16string& itemText, uint32_t value) {
    items_.push_back(std::make_shared<CListItem>(itemText, CListItem::Callback(), value));
}

void CGeneralWindow::addListItemEx(const std::u16string& itemText, CListItem::Callback callback, uint32_t value) {
    items_.push_back(std::make_shared<CListItem>(itemText, std::move(callback), value));
}

void CGeneralWindow::update(float elapsedSeconds) {
    // A decide callback may drop this window: nothing of it is touched after the list update.
    const std::shared_ptr<Orvex::FontLib::OxFontRenderer> fontRenderer = fontRenderer_;
    if (windowMode_ == kModeList) {
        updateList(elapsedSeconds);
    }
    if (fontRenderer) {
        fontRenderer->update(elapsedSeconds);
    }
}

void CGeneralWindow::updateList(float elapsedSeconds) {
    if (!focused) {
        cursorAlpha_ = kCursorAlphaHigh;
        return;
    }
    cursorAlpha_ += cursorSpeed_ * elapsedSeconds;
    if (cursorAlpha_ <= kCursorAlphaLow) {
        cursorAlpha_ = kCursorAlphaLow;
        cursorSpeed_ = kCursorSpeed;
    } else if (cursorAlpha_ >= kCursorAlphaHigh) {
        cursorAlpha_ = kCursorAlphaHigh;
        cursorSpeed_ = -kCursorSpeed;
    }

    Orvex::InputSystem::OxVirtualKey* keys = context_->getVirtualKey();
    if (keys == nullptr) {
        return;
    }
    const int32_t count = static_cast<int32_t>(items_.size());
    if (keys->isRepeat(kKeyUp)) {
        if (count < 2) {
            return;
        }
        int32_t index = selectedIndex_ - 1;
        if (index < 0) {
            index = count - 1;
            cursorAlpha_ = kCursorAlphaHigh;
        }
        setSelectItemIndex(index);
        playSystemSE(kSoundCursor);
    } else if (keys->isRepeat(kKeyDown)) {
        if (count < 2) {
            return;
        }
        int32_t index = selectedIndex_ + 1;
        if (index >= count) {
            index = 0;
            cursorAlpha_ = kCursorAlphaHigh;
            cursorSpeed_ = -kCursorSpeed;
        }
        setSelectItemIndex(index);
        playSystemSE(kSoundCursor);
    } else if (keys->isPushed(kKeyDecide) && count > 0) {
        // With nothing selected there is nothing to decide on: no callback and no sound.
        if (selectedIndex_ < 0) {
            return;
        }
        const std::shared_ptr<CListItem> item = items_.at(static_cast<uint32_t>(selectedIndex_));
        if (!item) {
            return;
        }
        // The callback may clear the list or drop this window: keep what the sound needs.
        const std::shared_ptr<IGeneralWindowContext> context = context_;
        if (item->callback) {
            item->callback(item.get(), selectedIndex_);
        }
        if (auto sound = context->getSystemSE(kSoundDecide)) {
            sound->playNew();
        }
    }
}

void CGeneralWindow::playSystemSE(int32_t index) {
    if (auto sound = context_->getSystemSE(index)) {
        sound->playNew();
    }
}

void CGeneralWindow::draw() {
    if (spriteDraw_ == nullptr) {
        return;
    }
    if (frameVisible) {
        drawFrame();
    }
    if (!textVisible || !fontRenderer_) {
        return;
    }
    if (windowMode_ == kModeText) {
        drawTextContent();
    } else if (windowMode_ == kModeList) {
        drawList();
    }
}

void CGeneralWindow::drawCell(uint32_t cell, float left, float top, float width, float height) {
    const float u = static_cast<float>(cell % 3) * kCell;
    const float v = static_cast<float>(cell / 3) * kCell;
    const OxRect source{u, v, u + kCell, v + kCell};
    const OxRect destination{left, top, left + width, top + height};
    spriteDraw_->draw(frameTexture_.get(), &destination, &source);
}

void CGeneralWindow::drawFrame() {
    // Centre and edges first, stretched; the corners go over their ends.
    drawCell(4, x + 16.0f, y + 16.0f, width_ - 32.0f, height_ - 32.0f);
    drawCell(1, x + kCell, y, width_ - 2.0f * kCell, kCell);
    drawCell(7, x + kCell, y + height_ - kCell, width_ - 2.0f * kCell, kCell);
    drawCell(3, x, y + kCell, kCell, height_ - 2.0f * kCell);
    drawCell(5, x + width_ - kCell, y + kCell, kCell, height_ - 2.0f * kCell);
    drawCell(0, x, y, kCell, kCell);
    drawCell(2, x + width_ - kCell, y, kCell, kCell);
    drawCell(8, x + width_ - kCell, y + height_ - kCell, kCell, kCell);
    drawCell(6, x, y + height_ - kCell, kCell, kCell);
}

float CGeneralWindow::drawTitle() {
    float top = y + 36.0f;
    if (showTitle) {
        drawCell(7, x + 27.0f, y + 20.0f, width_ - 55.0f, kCell);
        fontRenderer_->penX = x + 48.0f;
        fontRenderer_->penY = y + 19.0f;
        fontRenderer_->drawText(title, params_);
        top += kTitleHeight;
    }
    return top;
}

void CGeneralWindow::drawTextContent() {
    const float top = drawTitle();
    fontRenderer_->penX = x + 32.0f;
    fontRenderer_->penY = top;
    fontRenderer_->drawText(text, params_);
}

// The text's line stands in the middle of its row, whatever the font: a 46-pixel line starts 3
// pixels above the row, a 30-pixel one 5 pixels below its top.
float CGeneralWindow::rowTextOffset() const {
    const auto& font = fontRenderer_->getFont();
    return font ? (kRowHeight - static_cast<float>(font->lineHeight)) / 2.0f : 0.0f;
}

void CGeneralWindow::drawList() {
    const float top = drawTitle();
    const float grey = focused ? 1.0f : 0.55f;
    const float barColour[4] = {grey, grey, grey, cursorAlpha_};
    int32_t row = 0;
    for (const std::shared_ptr<CListItem>& item : items_) {
        const float rowTop = top + kRowHeight * static_cast<float>(row);
        if (row == selectedIndex_) {
            const OxRect bar{x + 32.0f, rowTop, x + 32.0f + width_ - 64.0f, rowTop + kRowHeight};
            spriteDraw_->drawFill(barColour, &bar);
        }
        if (item) {
            fontRenderer_->penX = x + 36.0f;
            fontRenderer_->penY = rowTop + rowTextOffset();
            fontRenderer_->drawText(item->text, params_);
        }
        ++row;
    }
}

}  // namespace Fenwarrow
