#pragma once
// The developer's font check (scene 15): the game's small bitmap font in a general window whose
// text tries every mark-up the windows use (colours, icons, a tab, a line break, text and number
// arguments), over two pictures from plain files on a teal background.
#include <array>
#include <memory>

#include "engine/font/OxTextMarkup.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {
class OxBitmapFont;
class OxFontRenderer;
}  // namespace Orvex::FontLib

namespace Fenwarrow {
class CGeneralWindow;
}

namespace Fenwarrow::Scene {

class CFontTest : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr const char16_t* kFontName = u"font_00";
    static constexpr std::array<const char16_t*, 2> kPictures = {u"ADV/test00.png", u"ADV/test01.png"};
    static constexpr uint32_t kBackground = 0xFF008080;

    CFontTest(ISceneContext& context, SceneServices services);
    ~CFontTest() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;

    // Null until initialize made it.
    const CGeneralWindow* getWindow() const { return window_.get(); }
    // The window's sample text and its arguments.
    static const std::u16string& sampleText();
    static Orvex::FontLib::MarkupParameters sampleArguments();

private:
    ISceneContext& context_;
    SceneServices services_;
    std::shared_ptr<Orvex::FontLib::OxBitmapFont> font_;
    std::shared_ptr<CGeneralWindow> window_;
    std::array<Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>, 2> pictures_;
};

}  // namespace Fenwarrow::Scene
