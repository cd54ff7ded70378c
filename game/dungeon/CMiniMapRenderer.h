#pragma once
// The whole floor as a small map over the game screen: a 10 x 10-pixel square per explored
// cell and one icon per cell for the actor or item the player may know of there. The full-screen
// map view darkens the screen behind it.
#include <cstdint>

#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::Dungeon {

class CDungeon;
class CMapCell;

class CMiniMapRenderer {
public:
    static constexpr int32_t kIconSize = 10;
    enum Icon : int32_t {
        kNoIcon = 0,
        kMappedIcon = 0,
        kConfusedActorIcon = 2,
        kItemIcon = 4,
        kTrapIcon = 5,
        kStateItemIcon = 6
    };
    // What the player's equipment and conditions change about the icons, taken once per draw.
    struct Switches {
        // The equipped amulet shows what the player does not see.
        bool amulet = false;
        // Every actor looks alike and every item too.
        bool confused = false;
    };

    // The floor must outlive the renderer. Nothing is loaded until `create`.
    explicit CMiniMapRenderer(CDungeon& floor);
    CMiniMapRenderer(const CMiniMapRenderer&) = delete;
    CMiniMapRenderer& operator=(const CMiniMapRenderer&) = delete;
    virtual ~CMiniMapRenderer();

    // A fresh mini-map of the floor's current map: every switch off, then `layout`.
    void create();
    // Centres the map on the screen, offsets and background off, and loads the icon strip
    // through the game's archive reader (no icons without it).
    void layout();
    // Lets go of the icon strip; the fields go back to 0.
    void release();
    // The per-frame switches go off.
    void resetFlags() { hideObjects_ = false; }
    // Queues the map, and the darkened screen behind it while the full-screen view is on.
    void draw();

    // The icon shown on the cell (kNoIcon for none), by the objects in slot order.
    int32_t chooseIcon(const CMapCell& cell, const Switches& switches) const;
    Switches takeSwitches() const;

    bool getForceHideAllCellObject() const { return hideObjects_; }
    void setForceHideAllCellObject(bool hide) { hideObjects_ = hide; }
    void setOffset(float x, float y) {
        offsetX_ = x;
        offsetY_ = y;
    }
    bool getBackgroundShown() const { return backgroundShown_; }
    void setBackgroundShown(bool shown) { backgroundShown_ = shown; }
    int32_t getOriginX() const { return originX_; }
    int32_t getOriginY() const { return originY_; }
    Orvex::Graphics::IOrvexTexture* getTexture() const { return texture_.get(); }

private:
    void drawMap();
    void drawBackground();

    CDungeon& floor_;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture_;
    bool hideObjects_ = false;
    float offsetX_ = 0.0f;
    float offsetY_ = 0.0f;
    bool backgroundShown_ = false;
};

}  // namespace Fenwarrow::Dungeon
