#pragma once
// The dungeon floor in play: its map and the views scripts steer.
#include <memory>

#include "game/dungeon/CMap.h"
#include "game/dungeon/CMapRenderer.h"

namespace Fenwarrow::Dungeon {

class CDungeon {
public:
    CDungeon() = default;
    CDungeon(const CDungeon&) = delete;
    CDungeon& operator=(const CDungeon&) = delete;
    virtual ~CDungeon() = default;

    CMap& getMap() { return *map_; }
    const CMap& getMap() const { return *map_; }
    CMapRenderer& getMapRenderer() { return mapRenderer_; }
    CMiniMapRenderer& getMiniMapRenderer() { return miniMapRenderer_; }

private:
    std::unique_ptr<CMap> map_ = std::make_unique<CMap>();
    CMapRenderer mapRenderer_;
    CMiniMapRenderer miniMapRenderer_;
};

}  // namespace Fenwarrow::Dungeon
