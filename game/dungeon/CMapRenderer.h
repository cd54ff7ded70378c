#pragma once
// What scripts steer of the map view: draw offsets, shaking, the actor the view follows, and
// the darkness switches. The drawing that reads these comes with the floor scene.
#include <cstdint>

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Dungeon {

class CMapRenderer {
public:
    struct Offset {
        float x = 0.0f;
        float y = 0.0f;
    };
    struct Shake {
        int32_t interval = 0;
        int32_t frameCounter = 0;
        float amplitudeX = 0.0f;
        float amplitudeY = 0.0f;
        bool hold = false;
        Offset offset;
    };

    // Stores the four values; the running frame count is kept.
    void setShake(int32_t interval, float amplitudeX, float amplitudeY, bool hold) {
        shake_.interval = interval;
        shake_.amplitudeX = amplitudeX;
        shake_.amplitudeY = amplitudeY;
        shake_.hold = hold;
    }
    const Shake& getShake() const { return shake_; }

    Offset getDrawOffset() const { return drawOffset_; }
    void setDrawOffset(Offset offset) { drawOffset_ = offset; }
    Offset getScreenDrawOffset() const { return screenDrawOffset_; }
    void setScreenDrawOffset(Offset offset) { screenDrawOffset_ = offset; }
    Actor::CActor* getFocusActor() const { return focusActor_; }
    void setFocusActor(Actor::CActor* actor) { focusActor_ = actor; }
    bool getForceDrawAll() const { return forceDrawAll_; }
    void setForceDrawAll(bool force) { forceDrawAll_ = force; }
    bool getDarkness() const { return darkness_; }
    void setDarkness(bool darkness) { darkness_ = darkness; }
    bool getTemporaryBlind() const { return temporaryBlind_; }
    void setTemporaryBlind(bool blind) { temporaryBlind_ = blind; }

private:
    Offset drawOffset_;
    bool darkness_ = false;
    bool temporaryBlind_ = false;
    Offset screenDrawOffset_;
    Shake shake_;
    Actor::CActor* focusActor_ = nullptr;
    bool forceDrawAll_ = false;
};

// What scripts steer of the mini-map.
class CMiniMapRenderer {
public:
    bool getForceHideAllCellObject() const { return forceHideAllCellObject_; }
    void setForceHideAllCellObject(bool hide) { forceHideAllCellObject_ = hide; }

private:
    bool forceHideAllCellObject_ = false;
};

}  // namespace Fenwarrow::Dungeon
