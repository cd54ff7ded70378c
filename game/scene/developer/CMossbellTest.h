#pragma once
// The developer's sprite-animation check (scene 19): a walking character from two sample
// sheets, moved with the cursor keys, its frames scaled, turned, stepped and its sheets swapped
// from the keyboard.
#include <array>
#include <cstdint>
#include <functional>

#include "engine/animation/OxMADObject.h"
#include "engine/graphics/OxSprite.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CMossbellTest : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr float kStep = 3.2f;
    static constexpr float kScaleStep = 0.025f;
    static constexpr float kTurnStep = 0.02617994f;  // 1.5 degrees
    static constexpr uint32_t kFramesPerFacing = 6;

    explicit CMossbellTest(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

    Orvex::MossbellLib::OxMADObject& getObject() { return object_; }
    float getX() const { return x_; }
    float getY() const { return y_; }
    uint32_t getDirection() const { return direction_; }
    bool isPaused() const { return paused_; }

private:
    bool loadSheets();
    void buildFrames();
    void forEachFrame(const std::function<void(Orvex::MossbellLib::OxAnimationData&)>& change);
    void swapFirstTwoSheets();
    // True when S or D held took the frame.
    bool shapeKeys();
    void commandKeys();
    void moveKeys();
    void face(uint32_t direction);

    ISceneContext& context_;
    DeveloperConsole console_;
    std::array<Orvex::Graphics::OxSprite, 6> sheets_;
    Orvex::MossbellLib::OxMADObject object_;
    bool paused_ = false;
    float x_ = 0.0f;
    float y_ = 0.0f;
    uint32_t direction_ = 2;
};

}  // namespace Fenwarrow::Scene
