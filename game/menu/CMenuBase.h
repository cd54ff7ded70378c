#pragma once
// The base of every screen of the in-game menu: its main window, the keys it reads and the
// player it works for. The game menu opens and closes screens; a screen learns of it through
// onOpen (first open), onClose and onResume (the screen above it went back).
#include <cstdint>
#include <memory>

#include "game/generalwindow/CGeneralWindow.h"

namespace Orvex::InputSystem {
class OxVirtualKey;
}
namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::SceneLayer {

class CGameMenu;

class CMenuBase {
public:
    explicit CMenuBase(CGameMenu& owner);
    CMenuBase(const CMenuBase&) = delete;
    CMenuBase& operator=(const CMenuBase&) = delete;
    virtual ~CMenuBase() = default;

    virtual void update(float elapsedSeconds) { (void)elapsedSeconds; }
    virtual void draw() {}
    virtual void onOpen() {}
    virtual void onClose() {}
    virtual void onResume() {}

    // Activates the main window; the first open since the last close also runs onOpen.
    void open();
    // Deactivates the main window; an open screen also runs onClose.
    void close();

    bool isOpen() const { return isOpen_; }
    // Null when the window could not be made (no font renderer): the screen then shows nothing.
    const std::shared_ptr<CGeneralWindow>& getWindow() const { return window_; }

protected:
    // A new created window, or null when none can be made.
    std::shared_ptr<CGeneralWindow> createMenuWindow();
    // Sets the mode, the top-left corner and the size (each side raised to 128 when smaller).
    static void placeWindow(CGeneralWindow& window, uint32_t mode, float x, float y, float width, float height);
    CGameMenu& getOwner() const { return owner_; }
    Actor::CActor* getPlayer() const { return player_; }
    // The keys of this frame (the replay's during playback); null when there are none.
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() const;
    bool isKeyPushed(uint32_t key) const;
    bool isKeyRepeat(uint32_t key) const;
    void playSystemSE(int32_t index) const;

private:
    CGameMenu& owner_;
    bool isOpen_ = false;
    std::shared_ptr<CGeneralWindow> window_;
    Actor::CActor* player_;
};

}  // namespace Fenwarrow::SceneLayer
