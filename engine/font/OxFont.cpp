#include "engine/font/OxFont.h"

namespace Orvex::FontLib {

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
    if (index < pages.size()) {
        pages[index] = Graphics::OxRefPtr<Graphics::IOrvexTexture>::share(texture);
    }
}

Graphics::IOrvexTexture* OxFont::getPage(uint32_t index) const {
    return index < pages.size() ? pages[index].get() : nullptr;
}

void OxFont::resizePages(std::size_t count) { pages.resize(count); }

}  // namespace Orvex::FontLib
