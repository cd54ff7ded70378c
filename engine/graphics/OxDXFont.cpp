#include "engine/graphics/OxDXFont.h"

#include <utility>

namespace Orvex::Graphics {

using namespace Platform;

namespace {
constexpr uint8_t kJapaneseCharSet = 128;
}

OxDXFont::~OxDXFont() { release(); }

bool OxDXFont::create(OxDXSprite* sprite, const OxDXFontDesc* description) {
    release();
    if (sprite == nullptr || sprite->getDevice() == nullptr) {
        return false;
    }
    const OxDXFontDesc wanted = description != nullptr ? *description : OxDXFontDesc();
    Gpux::FontDesc desc;
    desc.height = static_cast<int32_t>(wanted.height);
    desc.width = 0;
    desc.weight = 400;
    desc.mipLevels = 1;
    desc.italic = false;
    desc.charSet = kJapaneseCharSet;
    Gpux::setFaceName(desc, wanted.faceName);
    OxRefPtr<Gpux::GpuxFont> font;
    if (Gpux::createFontIndirect(sprite->getDevice(), &desc, font.put()) != Gpu::kOk) {
        return false;
    }
    font_ = std::move(font);
    sprite_ = sprite;
    description_ = wanted;
    return true;
}

void OxDXFont::release() {
    font_.reset();
    description_ = OxDXFontDesc();
    sprite_ = nullptr;
}

bool OxDXFont::drawText(int32_t x, int32_t y, const std::u16string& text, uint32_t argb) {
    if (font_ == nullptr) {
        return false;
    }
    const Gpu::IntRect rect{x, y, x, y};
    Gpux::GpuxSprite* sprite = sprite_ != nullptr ? sprite_->getSprite() : nullptr;
    return font_->drawText(sprite, text.c_str(), -1, &rect, Gpux::kTextNoClip, argb) != 0;
}

std::u16string OxDXFont::boundedText(std::u16string text) {
    if (text.size() > kFormatBufferUnits - 1) {
        text.resize(kFormatBufferUnits - 1);
        if (text.back() >= 0xD800 && text.back() < 0xDC00) {
            text.pop_back();
        }
    }
    return text;
}

}  // namespace Orvex::Graphics
