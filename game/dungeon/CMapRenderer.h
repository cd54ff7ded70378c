#pragma once
// The view of the floor: the chip layers inside the 11 x 9 cell window around the actor the
// view follows, the objects on the cells the player can see, and the darkness over the rest.
// Scripts steer its offsets, shaking, focus and darkness switches; the floor's states update and
// draw it every frame, and its drawing goes through the game's render queue.
#include <cstdint>

#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Dungeon {

class CDungeon;

class CMapRenderer {
public:
    static constexpr int32_t kWindowColumns = 11;
    static constexpr int32_t kWindowRows = 9;
    // The focus stands at this column and row of the window.
    static constexpr int32_t kFocusColumn = 5;
    static constexpr int32_t kFocusRow = 4;
    // Cells drawn beyond the window on every side: a step's slide shows up to one cell more of
    // the side it comes from, and the window alone leaves a strip at the screen's edge when the
    // cells are small.
    static constexpr int32_t kSlideMargin = 1;

    struct Offset {
        float x = 0.0f;
        float y = 0.0f;
    };
    struct Shake {
        int32_t interval = 0;
        int32_t counter = 0;
        float amplitudeX = 0.0f;
        float amplitudeY = 0.0f;
        // Random offsets each interval instead of a bounce that dies away.
        bool random = false;
        Offset offset;
    };
    struct Origin {
        int32_t x = 0;
        int32_t y = 0;
    };

    // The floor must outlive the renderer. Nothing is loaded until `create`.
    explicit CMapRenderer(CDungeon& floor);
    CMapRenderer(const CMapRenderer&) = delete;
    CMapRenderer& operator=(const CMapRenderer&) = delete;
    virtual ~CMapRenderer();

    // Loads the dark plane through the game's archive reader (without it the darkness over the
    // whole screen draws nothing), then `reset`. Game thread, while no set-up runs.
    void create();
    // Lets go of the dark plane and resets.
    void release();
    // Camera, offsets and shake 0, darkness on, the per-frame switches off, the game's player in
    // focus.
    void reset();

    // Moves the camera to the focus, shakes, places every cell and updates every cell object.
    void update();
    // Queues the chip layers, the darkness and the visible cell objects.
    void draw();

    // Stores the four values; the running frame count is kept.
    void setShake(int32_t interval, float amplitudeX, float amplitudeY, bool random) {
        shake_.interval = interval;
        shake_.amplitudeX = amplitudeX;
        shake_.amplitudeY = amplitudeY;
        shake_.random = random;
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
    bool getDarknessEnabled() const { return darknessEnabled_; }
    void setDarknessEnabled(bool enabled) { darknessEnabled_ = enabled; }
    // The darkness over the whole screen and the player-only view last one frame: `update`
    // clears them, so whoever wants them sets them again after each update.
    bool getDarkness() const { return darkness_; }
    void setDarkness(bool darkness) { darkness_ = darkness; }
    bool getPlayerOnly() const { return playerOnly_; }
    void setPlayerOnly(bool playerOnly) { playerOnly_ = playerOnly; }
    bool getTemporaryBlind() const { return temporaryBlind_; }
    void setTemporaryBlind(bool blind) { temporaryBlind_ = blind; }

    int32_t getCameraCellX() const { return cameraCellX_; }
    int32_t getCameraCellY() const { return cameraCellY_; }
    // Where the camera cell's top-left corner is drawn, in whole pixels.
    Origin getDrawOrigin() const;
    Orvex::Graphics::IOrvexTexture* getDarkPlane() const { return darkPlane_.get(); }

private:
    // Camera, offsets, shake and the switches back to their start; the focus is left alone.
    void resetView();
    void followFocus();
    void stepShake();
    void drawChipLayer(std::size_t index);
    void drawDarkness();
    void drawObjects();
    bool isCellShown(const Actor::CActor* player, int32_t x, int32_t y) const;
    // The cells drawn: the window around the focus and the slide margin round it.
    int32_t firstColumn() const { return cameraCellX_ - kSlideMargin; }
    int32_t lastColumn() const { return cameraCellX_ + kWindowColumns - 1 + kSlideMargin; }
    int32_t firstRow() const { return cameraCellY_ - kSlideMargin; }
    int32_t lastRow() const { return cameraCellY_ + kWindowRows - 1 + kSlideMargin; }

    CDungeon& floor_;
    int32_t cameraCellX_ = 0;
    int32_t cameraCellY_ = 0;
    Offset baseOffset_;
    Offset drawOffset_;
    Offset drawOffsetCopy_;
    bool darknessEnabled_ = true;
    bool darkness_ = false;
    bool playerOnly_ = false;
    bool temporaryBlind_ = false;
    Offset screenDrawOffset_;
    Shake shake_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> darkPlane_;
    Actor::CActor* focusActor_ = nullptr;
    bool forceDrawAll_ = false;
};

}  // namespace Fenwarrow::Dungeon
