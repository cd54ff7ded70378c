#include "game/control/CGeneralWindowLayer.h"

#include "engine/input/OxVirtualKey.h"
#include "engine/system/OxSystemFacade.h"
#include "game/action/IActionContext.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::SceneLayer {

CGeneralWindowLayer::CGeneralWindowLayer(Action::IActionContext& context, std::u16string scriptPath)
    : context_(context), scriptPath_(std::move(scriptPath)) {}

CGeneralWindowLayer::~CGeneralWindowLayer() {
    window_.reset();
    script_.reset();
}

bool CGeneralWindowLayer::setup() {
    window_ = context_.createGeneralWindow();
    if (window_ == nullptr) {
        Orvex::System::errorOutput(u"general window layer: the window cannot be made");
        return false;
    }
    if (!scriptPath_.empty()) {
        IGameContext& game = context_.getGameContext();
        script_ = std::make_shared<CScriptController>(game);
        if (!script_->loadScript(scriptPath_, kScriptBlock)) {
            Orvex::System::errorOutput(scriptPath_ + u": the window layer's script cannot be loaded");
            return false;
        }
        if (!script_->attachCommand(game.createScriptModule(ScriptModule::kGeneralWindow))) {
            Orvex::System::errorOutput(scriptPath_ + u": the GeneralWindow module cannot be attached");
            return false;
        }
        script_->runMain();
    }
    alive = true;
    return true;
}

void CGeneralWindowLayer::update() {
    const float elapsed = context_.getFrameTime();
    Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey();
    if (window_ == nullptr) {
        return;
    }
    if (keys != nullptr && window_->getWindowMode() == CGeneralWindow::kModeList) {
        const auto count = static_cast<int32_t>(window_->getListItemCount());
        const int32_t selected = window_->getSelectedItemIndex();
        if (keys->isRepeat(kKeyUp)) {
            window_->setSelectItemIndex(selected <= 0 ? count - 1 : selected - 1);
        } else if (keys->isRepeat(kKeyDown)) {
            window_->setSelectItemIndex(selected + 1 >= count ? 0 : selected + 1);
        }
    }
    if (keys != nullptr && keys->isPushed(kKeyClose)) {
        alive = false;
    }
    if (script_ != nullptr) {
        std::vector<CScriptValue> results;
        script_->callFunctionWithArg(results, "update", 0, CScriptValue(elapsed));
    }
    window_->update(elapsed);
}

void CGeneralWindowLayer::draw() {
    context_.addRenderQueue(ScriptCommand::getRenderPriority(u"GameMenu"), [weak = weak_from_this()] {
        if (const auto layer = weak.lock()) {
            layer->drawWindow();
        }
    });
}

void CGeneralWindowLayer::drawWindow() {
    if (window_ != nullptr) {
        window_->draw();
    }
}

}  // namespace Fenwarrow::SceneLayer
