#pragma once
// A window screen a script puts up over the current scene: one general window, and when a
// script path is given, that script in a state of its own with the GeneralWindow module. Every
// frame the layer moves the list cursor, lets the cancel key close it, runs the script's
// "update" and updates the window; the window is drawn at the game-menu priority.
#include <memory>
#include <string>

#include "game/layer/CSceneLayer.h"

namespace Fenwarrow {
class CGeneralWindow;
class CScriptController;
}  // namespace Fenwarrow
namespace Fenwarrow::Action {
class IActionContext;
}

namespace Fenwarrow::SceneLayer {

class CGeneralWindowLayer : public CSceneLayer, public std::enable_shared_from_this<CGeneralWindowLayer> {
public:
    static constexpr uint32_t kKeyUp = 0;
    static constexpr uint32_t kKeyDown = 2;
    static constexpr uint32_t kKeyClose = 6;
    static constexpr uint32_t kScriptBlock = 0x20000;

    // The context gives the game's services, the window maker, the keys, the frame time and
    // the render queue; it must outlive the layer.
    explicit CGeneralWindowLayer(Action::IActionContext& context, std::u16string scriptPath = {});
    ~CGeneralWindowLayer() override;

    bool setup() override;
    void update() override;
    void draw() override;
    virtual void drawWindow();

    const std::shared_ptr<CGeneralWindow>& getWindow() const { return window_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }

private:
    Action::IActionContext& context_;
    std::u16string scriptPath_;
    std::shared_ptr<CScriptController> script_;
    std::shared_ptr<CGeneralWindow> window_;
};

}  // namespace Fenwarrow::SceneLayer
