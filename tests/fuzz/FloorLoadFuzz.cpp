// Reading a suspended floor over arbitrary streams after its fixed head (the suspend id and the
// 2348-byte floor state): the enemy list, the turn count, the actors and items with their
// identities, the map with its cells, rooms and chip layers. A damaged stream is refused with
// no read past the data, no allocation beyond what it could hold, and no cell or layer left
// shorter than the map; the floor has no renderer, so even a whole stream stops at set-up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/dungeon/CDungeon.h"
#include "platform/kernel/Process.h"
#include "tests/support/BareDungeonServices.h"
#include "tests/support/SaveGameWorld.h"

namespace {

using namespace Fenwarrow::Dungeon;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

SaveWorld::World& world() {
    static SaveWorld::World* made = [] {
        const std::filesystem::path archive =
            std::filesystem::temp_directory_path() /
            ("orvex-fuzz-floor-" + std::to_string(Platform::Kernel::processId()) + ".bin");
        auto* w = new SaveWorld::World(archive.string(), Orvex::System::widen(archive.string()));
        check(w->ready);
        return w;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SaveWorld::World& w = world();
    static SaveWorld::BareDungeonServices services(w.context);
    Orvex::Serialization::OxSerializer stream;
    const std::vector<uint8_t> head(4 + sizeof(FloorState), 0);
    stream.writeBlock(head.data(), head.size());
    stream.writeBlock(data, size);
    stream.setWriting(false);
    CDungeon floor(services);
    floor.setVerifySuspendData(false);
    check(!floor.loadFloor(stream));
    check(stream.getPosition() <= stream.getBuffer().size());
    const CMap& map = floor.getMap();
    if (!map.getCells().empty()) {
        check(map.getCells().size() == static_cast<size_t>(map.getWidth()) * static_cast<size_t>(map.getHeight()));
        for (size_t i = 0; i < map.getChipLayers().size(); ++i) {
            check(map.getChipLayers().at(i)->getEntries().size() == map.getCells().size());
        }
        for (const CMapCell& cell : map.getCells()) {
            check(cell.objectCount <= CMapCell::kObjectSlots);
        }
    }
    return 0;
}
