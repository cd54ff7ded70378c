#include "engine/font/OxFont.h"

namespace Orvex::FontLib {

OxFont::~OxFont() { resizePages(0); }

void OxFont::reset() {
    name.clear();
    fontSize = 0;
    lineHeight = 0;
    base = 0;
    glyphs.clear();
    resizePages(0);
}

const OxCharDesc* OxFont::findGlyph(char16_t c) const {
    const std::shared_ptr<OxCharDesc>* found = glyphs.find(static_cast<uint32_t>(c));
    return found != nullptr ? found->get() : nullptr;
}

void OxFont::setPage(std::size_t index, Graphics::IOrvexTexture* texture) {
    if (index >= pages.size()) {
        return;
    }
    if (texture != nullptr) {
        texture->retain();
    }
    if (pages[index] != nullptr) {
        pages[index]->release();
    }
    pages[index] = texture;
}

Graphics::IOrvexTexture* OxFont::getPage(uint32_t index) const { return index < pages.size() ? pages[index] : nullptr; }

void OxFont::resizePages(std::size_t count) {
    for (std::size_t i = count; i < pages.size(); ++i) {
        if (pages[i] != nullptr) {
            pages[i]->release();
        }
    }
    pages.resize(count, nullptr);
}

}  // namespace Orvex::FontLib
