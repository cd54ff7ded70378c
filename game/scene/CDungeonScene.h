#pragma once
// Scene 7: one floor object played from floor to floor. The scene makes and starts the floor,
// shares it with the game as the current floor, steps and draws it, ends a replay playback by
// leaving for the result, counts the play time while a replay mode is set, and draws the replay
// overlay (version line and clock). The overlay's sprite and font live on the device and are
// released and re-made around a device reset.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/graphics/OxDXFont.h"
#include "engine/graphics/OxDXSprite.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::Scene {

class CDungeon : public Orvex::SceneController::OxSceneBase {
public:
    explicit CDungeon(ISceneContext& context) : context_(context) {}
    ~CDungeon() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;
    bool finalize() override;
    bool onComeBack(int32_t returningSceneId) override;

    // Window thread, with the game thread parked: around a device reset.
    void releaseDeviceResources();
    void createDeviceResources();

    const std::shared_ptr<Dungeon::CDungeon>& getFloor() const { return floor_; }
    bool hasOverlayFont() const { return font_.getFont() != nullptr; }

    // "hh:mm:ss" of a replay clock in seconds, truncated to whole seconds.
    static std::u16string formatClock(float seconds);
    // "YYYY/MM/DD hh:mm:ss" of a calendar time stamp in local time.
    static std::u16string formatTimeStamp(uint32_t timeStamp);

private:
    void drawOverlay();

    ISceneContext& context_;
    std::shared_ptr<Dungeon::CDungeon> floor_;
    Orvex::Graphics::OxDXSprite sprite_;
    Orvex::Graphics::OxDXFont font_;
};

}  // namespace Fenwarrow::Scene
