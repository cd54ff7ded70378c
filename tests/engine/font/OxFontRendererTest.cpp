#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/system/OxStringConvert.h"
#include "tests/engine/graphics/GraphicsTestDoubles.h"

namespace Orvex::FontLib {
namespace {

using Graphics::OxColor;
using Graphics::Testing::CountedTexture;
using Graphics::Testing::DrawCall;

constexpr float kStartX = 100.0f;
constexpr float kStartY = 50.0f;

// Printable ASCII on page 0, each glyph 10 wide with an advance of 10 and offsets (1, 2); the
// glyph's source left edge encodes its character. '~' lies on page 5, which does not exist.
class FontRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = std::make_shared<OxBitmapFont>(nullptr);
        font_->fontSize = 16;
        font_->lineHeight = 20;
        for (char16_t c = 0x21; c < 0x7F; ++c) {
            auto g = std::make_shared<OxCharDesc>();
            g->left = float(c) * 10.0f;
            g->right = g->left + 10.0f;
            g->top = 0.0f;
            g->bottom = 16.0f;
            g->xoffset = 1.0f;
            g->yoffset = 2.0f;
            g->xadvance = 10.0f;
            g->page = c == u'~' ? 5 : 0;
            font_->glyphs.insertOrAssign(c, g);
        }
        font_->resizePages(1);
        page_ = new CountedTexture(1024, 16);
        font_->setPage(0, page_);
        page_->release();
        renderer_ = std::make_unique<OxFontRenderer>(&rig_.renderer, font_);
        renderer_->penX = kStartX;
        renderer_->penY = kStartY;
        icon_ = new CountedTexture(32, 32);
        renderer_->registerIcon(
            u"Shield", boost::any(OxTextureTagObject(icon_, std::make_shared<OxTextureTagObject::SourceRect>(
                                                                OxTextureTagObject::SourceRect{0, 0, 16, 16}))));
        icon_->release();
    }

    const std::vector<DrawCall>& draw(const std::u16string& text, const MarkupParameters& parameters = {}) {
        rig_.sprite.calls.clear();
        renderer_->drawText(text, parameters);
        return rig_.sprite.calls;
    }
    // The characters drawn, icons as '#'.
    static std::u16string textOf(const std::vector<DrawCall>& calls) {
        std::u16string out;
        for (const DrawCall& c : calls) {
            out.push_back(c.texture == nullptr || c.destination.bottom - c.destination.top != 16.0f ||
                                  c.source.left == 0.0f
                              ? u'#'
                              : static_cast<char16_t>(c.source.left / 10.0f));
        }
        return out;
    }
    // Pen x of the n-th draw relative to the start (glyphs are drawn 1 to the right of the pen).
    static float penOf(const std::vector<DrawCall>& calls, std::size_t n) {
        const DrawCall& c = calls.at(n);
        return c.destination.left - kStartX - (c.source.left == 0.0f ? 0.0f : 1.0f);
    }

    Graphics::Testing::RendererRig rig_;
    std::shared_ptr<OxBitmapFont> font_;
    std::unique_ptr<OxFontRenderer> renderer_;
    CountedTexture* page_ = nullptr;
    CountedTexture* icon_ = nullptr;
};

TEST_F(FontRendererTest, PlaceholdersAndTagsProduceTheStatedText) {
    const std::u16string x = u"x";
    struct Case {
        std::u16string text;
        MarkupParameters parameters;
        std::u16string drawn;
    } cases[] = {
        {u"A{0}B", {x}, u"AxB"},
        {u"A{0}", {x}, u"A{0}"},
        {u"{0}", {x}, u"{0}"},
        {u"{0:d}.", {int32_t(7)}, u"7."},
        {u"{0:u}.", {int32_t(-1)}, u"4294967295."},
        {u"{0:D}.", {uint32_t(4294967295u)}, u"-1."},
        {u"{0:f}.", {1.5f}, u"1.500000."},
        {u"{0:d}.", {1.5f}, u"."},
        {u"{0:x}.", {int32_t(7)}, u"."},
        {u"{0:s}.", {static_cast<const char16_t*>(u"cp")}, u"cp."},
        {u"{1abc}.", {x, std::u16string(u"one")}, u"one."},
        {u"{ +1}.", {x, std::u16string(u"one")}, u"one."},
        {u"{12}.", std::vector<boost::any>(13, boost::any(x)), u"x."},
        {u"{0:ab}.", {x}, u"{0:ab}."},
        {u"{}.", {x}, u"{}."},
        {u"a<b", {}, u"a<b"},
        {u"<3>", {}, u""},
        {u"a</COLOR", {}, u"a</COLOR"},
        {u"<#Shield:ICON>A<#Shield:HICON><#Nothing:ICON>", {}, u"#A#"},
        {u"<0:ICON>", {std::u16string(u"Shield")}, u"#"},
        {u"<#UNKNOWN:TAG>ok", {}, u"ok"},
        // Missing and mistyped parameters (script text reaches here): no effect, no crash.
        {u"{5}.", {x}, u"."},
        {u"{-1}.", {x}, u"."},
        {u"<7:COLOR>a<9:ICON>b<4:POSX>c<8:OFFSET>d", {}, u"abcd"},
        {u"<0:COLOR>a<0:ICON>b<0:POSX>c<0:OFFSET>d", {OxColor{1, 0, 0, 1}}, u"abcd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.drawn, textOf(draw(c.text, c.parameters))) << Orvex::System::narrow(c.text);
    }
    rig_.sprite.calls.clear();
    renderer_->drawPlainText(u"{0}<#Shield:ICON>", kStartX, kStartY);
    EXPECT_EQ(u"{0}<#Shield:ICON>", textOf(rig_.sprite.calls));
    EXPECT_EQ(int(std::size(cases)) + 1, rig_.sprite.resetCalls);  // once per call
    EXPECT_EQ(uint32_t(Graphics::OxTextureBlendModes::kAlphaBlend), rig_.sprite.textureBlend);
    EXPECT_EQ(uint32_t(Graphics::OxDiffuseBlendModes::kModulate), rig_.sprite.diffuseBlend);
}

TEST_F(FontRendererTest, ColourTagsPushAndPopAndNeverCarryOver) {
    using Colours = std::vector<OxColor>;
    const OxColor white{1, 1, 1, 1}, red{1, 0, 0, 1}, green{0, 1, 0, 1};
    struct Case {
        std::u16string text;
        MarkupParameters parameters;
        Colours colours;
    } cases[] = {
        {u"<#1.0,0.0,0.0,1.0:COLOR>r</COLOR>w", {}, {red, white}},
        {u"<#1,0,0,1:COLOR><0:COLOR>g</COLOR>r</COLOR>w", {green}, {green, red, white}},
        {u"</COLOR>w<#0,1,0,1:COLOR>g</COLOR></COLOR>w", {}, {white, green, white}},
        {u"<#0,1,0,1:COLOR><#0.5:COLOR>h", {}, {OxColor{0.5f, 1, 0, 1}}},
        {u"<#0,1,0,1:COLOR>g", {}, {green}},
        {u"w", {}, {white}},  // nothing carried from the previous call
        {u"{0}.", {std::u16string(u"<#1,0,0,1:COLOR>r")}, {red, red}},
        {u"<0:COLOR>w", {std::u16string(u"not a colour")}, {white}},
    };
    for (const Case& c : cases) {
        const auto& calls = draw(c.text, c.parameters);
        ASSERT_EQ(c.colours.size(), calls.size()) << Orvex::System::narrow(c.text);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const OxColor got{calls[i].colour[0], calls[i].colour[1], calls[i].colour[2], calls[i].colour[3]};
            EXPECT_EQ(c.colours[i], got) << Orvex::System::narrow(c.text) << " draw " << i;
        }
    }
}

TEST_F(FontRendererTest, PenMovesByTheStatedAdvances) {
    struct Case {
        std::u16string text;
        MarkupParameters parameters;
        bool monospace;
        std::vector<float> pens;  // pen x of each draw, relative to the start
    } cases[] = {
        {u"AB", {}, false, {0, 10}},
        {u"<#Shield:ICON>A", {}, false, {0, 16}},
        {u"<#Shield:HICON>A", {}, false, {0, 8}},
        {u"<#Nobody:ICON>A", {}, false, {0}},
        {u"AB<#10:POSX>C", {}, false, {0, 10, 10}},
        {u"A<0:POSX>C", {25.0f}, false, {0, 25}},
        {u"<#2:OFFSET>A", {}, false, {16}},
        {u"A<0:OFFSET>B", {int32_t(-1)}, false, {0, 2}},
        {u"A B\u3000C", {}, false, {0, 18, 44}},
        {u"\tA\tB", {}, false, {32, 66}},
        {u"\u3042A", {}, false, {16}},  // no glyph: the pen moves by the font size
        {u"~A", {}, false, {10}},       // a glyph on a missing page is not drawn, the pen moves
        {u"AB C\u3000D<#Shield:ICON>E", {}, true, {0, 12, 30, 54, 66, 78}},
        {u"\tA", {}, true, {24}},
    };
    for (const Case& c : cases) {
        renderer_->monospace = c.monospace;
        renderer_->monospaceWidth = c.monospace ? 12.0f : 0.0f;
        const auto& calls = draw(c.text, c.parameters);
        ASSERT_EQ(c.pens.size(), calls.size()) << Orvex::System::narrow(c.text);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            EXPECT_FLOAT_EQ(c.pens[i], penOf(calls, i)) << Orvex::System::narrow(c.text) << " draw " << i;
        }
    }
    renderer_->monospace = false;
    const auto& lines = draw(u"AB\nC");
    ASSERT_EQ(3u, lines.size());
    EXPECT_FLOAT_EQ(0.0f, penOf(lines, 2));
    EXPECT_FLOAT_EQ(kStartY + 20.0f + 2.0f, lines[2].destination.top);
    // The icon's rectangle and source.
    const auto& icon = draw(u"<#Shield:ICON>");
    ASSERT_EQ(1u, icon.size());
    EXPECT_EQ(icon_, icon[0].texture);
    EXPECT_FLOAT_EQ(kStartY + 16.0f, icon[0].destination.bottom);
    EXPECT_FLOAT_EQ(16.0f, icon[0].source.right);
    renderer_->removeIcon(u"Shield");
    EXPECT_TRUE(draw(u"<#Shield:ICON>").empty());
}

}  // namespace
}  // namespace Orvex::FontLib
