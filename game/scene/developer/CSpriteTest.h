#pragma once
// The developer's sprite check (scene 16): one picture from a plain file, drawn at its size.
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::Scene {

class CSpriteTest : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr const char16_t* kPicture = u"sample/256x256.bmp";

    explicit CSpriteTest(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool draw() override;

private:
    ISceneContext& context_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture_;
};

}  // namespace Fenwarrow::Scene
