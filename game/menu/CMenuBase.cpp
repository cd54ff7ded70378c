#include "game/menu/CMenuBase.h"

#include "engine/input/OxVirtualKey.h"
#include "game/action/IActionContext.h"
#include "game/menu/CGameMenu.h"

namespace Fenwarrow::SceneLayer {

CMenuBase::CMenuBase(CGameMenu& owner) : owner_(owner), window_(createMenuWindow()), player_(owner.getPlayer()) {}

std::shared_ptr<CGeneralWindow> CMenuBase::createMenuWindow() { return owner_.getContext().createGeneralWindow(); }

void CMenuBase::placeWindow(CGeneralWindow& window, uint32_t mode, float x, float y, float width, float height) {
    window.setWindowMode(mode);
    window.x = x;
    window.y = y;
    const float size[2] = {width, height};
    window.setWindowSize(size);
}

void CMenuBase::open() {
    if (window_) {
        window_->focused = true;
    }
    if (!isOpen_) {
        isOpen_ = true;
        onOpen();
    }
}

void CMenuBase::close() {
    if (window_) {
        window_->focused = false;
    }
    if (isOpen_) {
        isOpen_ = false;
        onClose();
    }
}

Orvex::InputSystem::OxVirtualKey* CMenuBase::getVirtualKey() const { return owner_.getContext().getVirtualKey(); }

bool CMenuBase::isKeyPushed(uint32_t key) const {
    Orvex::InputSystem::OxVirtualKey* keys = getVirtualKey();
    return keys != nullptr && keys->isPushed(key);
}

bool CMenuBase::isKeyRepeat(uint32_t key) const {
    Orvex::InputSystem::OxVirtualKey* keys = getVirtualKey();
    return keys != nullptr && keys->isRepeat(key);
}

void CMenuBase::playSystemSE(int32_t index) const { owner_.getContext().playSystemSE(index); }

}  // namespace Fenwarrow::SceneLayer
