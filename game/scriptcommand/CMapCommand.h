#pragma once
// The "Map" module: floor scripts lay out the current floor's map (cells, rooms, gates, chip
// layers), unpack the map editor's Base64 exports, and steer the map view.
#include <functional>
#include <utility>

#include "engine/io/OxStreamIO.h"
#include "game/services/CScriptCommandBase.h"
#include "graphics/include/IOrvexTextureManager.h"

namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::ScriptCommand {

class CMapCommand : public CScriptCommandBase<CMapCommand> {
public:
    struct Services {
        // The floor in play; null while there is none (the functions then do nothing).
        std::function<Dungeon::CDungeon*()> currentFloor;
        // Chip textures are read through this reader and made by this manager.
        Orvex::IO::StreamIO::IOrvexStreamReader* archiveReader = nullptr;
        Orvex::Graphics::IOrvexTextureManager* textureManager = nullptr;
    };

    explicit CMapCommand(Services services) : services_(std::move(services)) {}

    bool registerFunctions(CScriptController& controller) override;

    Dungeon::CDungeon* getFloor() const { return services_.currentFloor ? services_.currentFloor() : nullptr; }
    const Services& getServices() const { return services_; }

private:
    Services services_;
};

}  // namespace Fenwarrow::ScriptCommand
