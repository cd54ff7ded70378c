#pragma once
// The developer's input check (scene 17): what every keyboard key, mouse button, game pad and
// virtual key reads this frame.
#include <memory>
#include <vector>

#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CInputTest : public Orvex::SceneController::OxSceneBase {
public:
    explicit CInputTest(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

private:
    void drawState();
    std::u16string heldButtons(Orvex::InputSystem::IOrvexKeyBase& keys) const;

    ISceneContext& context_;
    DeveloperConsole console_;
    // Keyboard, mouse, then pads 0 to 3.
    std::vector<std::shared_ptr<Orvex::InputSystem::IOrvexInputDevice>> devices_;
    Orvex::InputSystem::OxVirtualKey keys_;
};

}  // namespace Fenwarrow::Scene
