#include "engine/font/OxFontRenderer.h"

namespace Orvex::FontLib {
namespace {

constexpr uint32_t kNoPage = 0xFFFFFFFFu;
const Graphics::OxColor kWhite{1, 1, 1, 1};

}  // namespace

OxFontRenderer::OxFontRenderer(Graphics::IOrvexRenderer* renderer, const std::shared_ptr<OxFont>& font)
    : renderer_(renderer), font_(font) {}

void OxFontRenderer::registerIcon(const std::u16string& name, const boost::any& icon) {
    icons_.insertOrAssign(name, icon);
}

void OxFontRenderer::removeIcon(const std::u16string& name) {
    if (icons_.find(name) == nullptr) {
        return;
    }
    // The map has no single-key erase: rebuild it without the name.
    System::binary_search_map<std::u16string, boost::any> kept;
    for (const auto& node : icons_) {
        if (node.key != name) {
            kept.insertOrAssign(node.key, node.value);
        }
    }
    icons_ = std::move(kept);
}

void OxFontRenderer::drawText(const std::u16string& text, const MarkupParameters& parameters) {
    layout(text, penX, penY, true, &parameters);
}

void OxFontRenderer::drawPlainText(const std::u16string& text, float x, float y) { layout(text, x, y, false, nullptr); }

void OxFontRenderer::update(float) {}

float OxFontRenderer::unit() const {
    return monospace ? monospaceWidth + spacing : static_cast<float>(font_->fontSize);
}

float OxFontRenderer::advance(char16_t c, const OxCharDesc* glyph) const {
    const float fontSize = static_cast<float>(font_->fontSize);
    switch (c) {
        case u' ':
            return unit() * 0.5f;
        case u'\u3000':
            return unit();
        case u'\t': {
            const float cells = static_cast<float>(4 - ((column_ + tabPhase_) % 4));
            return monospace ? cells * monospaceWidth * 0.5f + spacing : cells * fontSize * 0.5f;
        }
        default:
            if (monospace) {
                return monospaceWidth + spacing;
            }
            return spacing + (glyph != nullptr ? glyph->xadvance : 0.0f);
    }
}

void OxFontRenderer::layout(const std::u16string& text, float startX, float startY, bool markup,
                            const MarkupParameters* parameters) {
    if (renderer_ == nullptr || !font_) {
        return;
    }
    Graphics::IOrvexSpriteDraw* sprite = renderer_->getSpriteDraw();
    if (sprite == nullptr) {
        return;
    }
    colourStack_.clear();
    column_ = 0;
    colour_ = kWhite;
    pendingIcon_ = nullptr;
    penOffset_ = 0.0f;
    iconWidth_ = 0.0f;
    sprite->setTextureBlendMode(Graphics::OxTextureBlendModes::kAlphaBlend);
    sprite->setDiffuseBlendMode(Graphics::OxDiffuseBlendModes::kModulate);

    const float fontSize = static_cast<float>(font_->fontSize);
    float x = startX;
    float y = startY;
    uint32_t pageInUse = kNoPage;
    Graphics::IOrvexTexture* pageTexture = nullptr;
    const std::u16string working = markup ? expandPlaceholders(text, *parameters) : text;

    std::size_t i = 0;
    while (i < working.size()) {
        const char16_t c = working[i];
        if (markup && c == u'<') {
            if (const std::optional<MarkupTag> tag = parseTagAt(working, i)) {
                penOffset_ = x - startX;
                applyTag(*tag, *parameters);
                x = startX + penOffset_;
                if (pendingIcon_ != nullptr) {
                    sprite->setDiffuseColor(colour_.r, colour_.g, colour_.b, colour_.a);
                    const Graphics::OxRect destination{x, y, x + iconWidth_, y + fontSize};
                    const auto& source = pendingIcon_->getSourceRect();
                    Graphics::OxRect sourceRect;
                    if (source) {
                        sourceRect = Graphics::OxRect{(*source)[0], (*source)[1], (*source)[2], (*source)[3]};
                    }
                    sprite->draw(pendingIcon_->getTexture(), &destination, source ? &sourceRect : nullptr);
                    x += iconWidth_;
                    ++column_;
                    pendingIcon_ = nullptr;
                    pageInUse = kNoPage;
                    pageTexture = nullptr;
                }
                i = tag->end;
                continue;
            }
        }
        ++i;
        if (c == u' ' || c == u'\u3000') {
            x += advance(c, nullptr);
            ++column_;
        } else if (c == u'\t') {
            x += advance(c, nullptr);
            column_ = (column_ + tabPhase_) % 4;
        } else if (c == u'\n') {
            x = startX;
            y += static_cast<float>(font_->lineHeight);
            column_ = 0;
        } else if (const OxCharDesc* glyph = font_->findGlyph(c)) {
            if (glyph->page != pageInUse) {
                pageInUse = glyph->page;
                pageTexture = font_->getPage(glyph->page);
            }
            sprite->setDiffuseColor(colour_.r, colour_.g, colour_.b, colour_.a);
            const Graphics::OxRect destination{x + glyph->xoffset, y + glyph->yoffset,
                                               x + glyph->xoffset + (glyph->right - glyph->left),
                                               y + glyph->yoffset + (glyph->bottom - glyph->top)};
            const Graphics::OxRect source{glyph->left, glyph->top, glyph->right, glyph->bottom};
            // A page without a texture draws nothing; the pen still moves.
            sprite->draw(pageTexture, &destination, &source);
            x += advance(c, glyph);
            ++column_;
        } else {
            x += fontSize;
        }
    }
    sprite->resetStates();
}

void OxFontRenderer::setPendingIcon(const MarkupTag& tag, const MarkupParameters& parameters, float width) {
    std::u16string name;
    if (tag.hasLiteral) {
        name = tag.literal;
    } else if (const boost::any* value = tagParameter(tag, parameters)) {
        const auto* text = boost::any_cast<std::u16string>(value);
        if (text == nullptr) {
            return;
        }
        name = *text;
    } else {
        return;
    }
    const boost::any* icon = icons_.find(name);
    const auto* object = icon != nullptr ? boost::any_cast<OxTextureTagObject>(icon) : nullptr;
    if (object == nullptr) {
        return;
    }
    pendingIcon_ = object;
    iconWidth_ = width;
}

void OxFontRenderer::applyTag(const MarkupTag& tag, const MarkupParameters& parameters) {
    const boost::any* parameter = tagParameter(tag, parameters);
    if (tag.name == u"COLOR") {
        Graphics::OxColor next = colour_;
        if (tag.hasLiteral) {
            float values[4] = {colour_.r, colour_.g, colour_.b, colour_.a};
            scanFloatList(tag.literal, values);
            next = Graphics::OxColor{values[0], values[1], values[2], values[3]};
        } else if (const auto* given = parameter != nullptr ? boost::any_cast<Graphics::OxColor>(parameter) : nullptr) {
            next = *given;
        } else {
            return;
        }
        colourStack_.push_back(colour_);
        colour_ = next;
    } else if (tag.name == u"/COLOR") {
        if (colourStack_.empty()) {
            colour_ = kWhite;
        } else {
            colour_ = colourStack_.back();
            colourStack_.pop_back();
        }
    } else if (tag.name == u"ICON") {
        setPendingIcon(tag, parameters, unit());
    } else if (tag.name == u"HICON") {
        setPendingIcon(tag, parameters, unit() * 0.5f);
    } else if (tag.name == u"POSX") {
        if (tag.hasLiteral) {
            penOffset_ = literalToFloat(tag.literal);
        } else if (const auto* value = parameter != nullptr ? boost::any_cast<float>(parameter) : nullptr) {
            penOffset_ = *value;
        }
    } else if (tag.name == u"OFFSET") {
        if (tag.hasLiteral) {
            penOffset_ += static_cast<float>(literalToInt(tag.literal)) * unit() * 0.5f;
        } else if (const auto* value = parameter != nullptr ? boost::any_cast<int32_t>(parameter) : nullptr) {
            penOffset_ += static_cast<float>(*value) * unit() * 0.5f;
        }
    }
}

}  // namespace Orvex::FontLib
