#include "game/scene/developer/CFontTest.h"

#include <string>
#include <utility>

#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxBitmapFontLoader.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/graphics/OxColor.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kClearTarget = 1;
constexpr float kWindowX = 20.0f;
constexpr float kWindowY = 400.0f;
constexpr float kWindowSize[2] = {760.0f, 190.0f};
// Where the two pictures stand: side by side above the window.
constexpr Orvex::Graphics::OxRect kPicturePlaces[2] = {{20.0f, 20.0f, 276.0f, 276.0f}, {280.0f, 20.0f, 792.0f, 276.0f}};
}  // namespace

CFontTest::CFontTest(ISceneContext& context, SceneServices services)
    : context_(context), services_(std::move(services)) {}

CFontTest::~CFontTest() = default;

const std::u16string& CFontTest::sampleText() {
    static const std::u16string kText =
        u"フォントテスト <2:COLOR>赤い文字</COLOR>と<3:COLOR>青い文字</COLOR>\t"
        u"<4:ICON><5:ICON><6:ICON><7:ICON>アイコン\n"
        u"文字列「{0:S}」 数値「{1:u}」 ABCabc 0123。、！？";
    return kText;
}

Orvex::FontLib::MarkupParameters CFontTest::sampleArguments() {
    return {std::u16string(u"test"),
            uint32_t{255},
            Orvex::Graphics::OxColor{1.0f, 0.0f, 0.0f, 1.0f},
            Orvex::Graphics::OxColor{0.0f, 0.0f, 1.0f, 1.0f},
            std::u16string(u"Hollow"),
            std::u16string(u"Shield"),
            std::u16string(u"Money"),
            std::u16string(u"Cake")};
}

bool CFontTest::initialize() {
    auto* renderer = context_.getRenderer();
    if (renderer == nullptr) {
        return false;
    }
    if (services_.fontLoader == nullptr) {
        Orvex::System::errorOutput(u"Font/" + std::u16string(kFontName) +
                                   u": the font test has no font loader to read it with.");
        return false;
    }
    font_ = std::make_shared<Orvex::FontLib::OxBitmapFont>(services_.fontLoader);
    if (static_cast<int32_t>(font_->load(kFontName)) < 0) {
        Orvex::System::errorOutput(u"Font/" + std::u16string(kFontName) + u": the font test's font cannot be loaded (" +
                                   Orvex::System::widen(services_.fontLoader->getLastError()) + u").");
        return false;
    }
    if (services_.windows != nullptr) {
        window_ = std::make_shared<CGeneralWindow>(services_.windows);
    }
    if (window_ == nullptr || !window_->create(std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer, font_))) {
        window_.reset();
        Orvex::System::errorOutput(u"The font test's general window cannot be made.");
        return false;
    }
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        const std::u16string path = kPictures[i];
        Orvex::Graphics::IOrvexTexture* texture = nullptr;
        if (renderer->getTextureManager()->createTextureFromFile(&texture, &path) < 0) {
            Orvex::System::errorOutput(path + u": the font test's picture cannot be loaded.");
            return false;
        }
        pictures_[i] = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(texture);
    }
    return true;
}

bool CFontTest::update() {
    window_->x = kWindowX;
    window_->y = kWindowY;
    window_->setWindowSize(kWindowSize);
    window_->text = sampleText();
    window_->setParameters(sampleArguments());
    window_->update(services_.frameTime ? services_.frameTime() : context_.getFrameTime());
    return true;
}

bool CFontTest::draw() {
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer();
        renderer->clear(kClearTarget, kBackground, 1.0f, 0);
        Orvex::Graphics::IOrvexSpriteDraw* sprites = renderer->getSpriteDraw();
        for (std::size_t i = 0; i < pictures_.size(); ++i) {
            sprites->draw(pictures_[i].get(), &kPicturePlaces[i], nullptr);
        }
        window_->draw();
    });
    return true;
}

}  // namespace Fenwarrow::Scene
