#pragma once
// The floor's message history, ten lines a page, oldest at the top. Keys 0 and 2 scroll a
// line, keys 3 and 1 a page.
#include <cstdint>

#include "game/menu/CMenuBase.h"

namespace Fenwarrow::SceneLayer {

class CLogMenu : public CMenuBase {
public:
    static constexpr int32_t kPageLines = 10;

    explicit CLogMenu(CGameMenu& owner);

    void update(float elapsedSeconds) override;
    void draw() override;
    // Starts at the newest line.
    void onOpen() override;

    // The newest line the page shows.
    int32_t getScrollLine() const { return scrollLine_; }

private:
    void rebuild();

    int32_t scrollLine_ = 0;
};

}  // namespace Fenwarrow::SceneLayer
