#pragma once
// The root's "中断": giving up the adventure, after a confirmation. "はい" leaves the floor for
// the result scene with no menu left open.
#include <cstdint>
#include <memory>

#include "game/menu/CMenuBase.h"

namespace Fenwarrow::SceneLayer {

class CReserveMenu : public CMenuBase {
public:
    // The scene a give-up leaves for.
    static constexpr int32_t kSceneResult = 10;

    explicit CReserveMenu(CGameMenu& owner);

    void update(float elapsedSeconds) override;
    void draw() override;

    bool isConfirming() const { return confirming_; }
    const std::shared_ptr<CGeneralWindow>& getConfirmWindow() const { return confirmWindow_; }

private:
    void onGiveUpChosen();
    void onConfirm(int32_t index);
    void giveUp();

    std::shared_ptr<CGeneralWindow> confirmWindow_;
    bool confirming_ = false;
    int32_t chosenEntry_ = 0;
};

}  // namespace Fenwarrow::SceneLayer
