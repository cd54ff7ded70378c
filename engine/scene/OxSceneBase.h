#pragma once
// Base of every scene on the scene stack. Each step returns false to refuse: a refused
// initialize refuses the push, a refused update, draw or finalize ends the game loop.
#include <cstdint>

namespace Orvex::SceneController {

class OxSceneController;

class OxSceneBase {
public:
    OxSceneBase() = default;
    OxSceneBase(const OxSceneBase&) = delete;
    OxSceneBase& operator=(const OxSceneBase&) = delete;
    virtual ~OxSceneBase() = default;

    // Once, when the scene is pushed.
    virtual bool initialize() { return true; }
    // Once per frame while the scene is on top.
    virtual bool update() { return true; }
    virtual bool draw() { return true; }
    // Before the scene leaves the stack, or is dropped from memory by a call.
    virtual bool finalize() { return true; }
    // On the scene that is the top again after the scene above it returned.
    virtual bool onComeBack(int32_t returningSceneId) {
        (void)returningSceneId;
        return true;
    }

    // The owning controller; null until the scene is pushed. Scenes post their requests to it.
    OxSceneController* getSceneController() const { return controller_; }
    // Used by the controller only.
    void setSceneController(OxSceneController* controller) { controller_ = controller; }

private:
    OxSceneController* controller_ = nullptr;
};

}  // namespace Orvex::SceneController
