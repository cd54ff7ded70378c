// Drives the three map-data unpackers over arbitrary input. The first three bytes choose the
// map's width and height (1 to 64 cells each) and the form of the rest: Base64 text for the
// script functions, or the decoded bytes themselves. Whatever the data holds, no read may pass
// its end, every kind stored must be safe to look up, every room must stay linkable to the
// cells, and the chip entries must stay one per cell.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/dungeon/CChipLayer.h"
#include "game/dungeon/CMap.h"
#include "game/dungeon/MapDataUnpack.h"
#include "game/dungeon/WallPiece.h"

namespace {

using namespace Fenwarrow::Dungeon;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const int32_t width = data[0] % 64 + 1;
    const int32_t height = data[1] % 64 + 1;
    const bool asText = (data[2] & 1) != 0;
    const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);

    CMap map;
    check(map.create(32, width, height));
    map.clearRoom();
    CChipLayer layer;
    layer.getEntries().assign(map.getCells().size(), ChipEntry{});
    if (asText) {
        unpackCellTypesFromBase64(map, rest);
        unpackRoomDataFromBase64(map, rest);
        unpackChipDataFromBase64(map, layer, rest);
    } else {
        unpackCellTypes(map, rest);
        unpackRoomData(map, rest);
        unpackChipData(map, layer, rest);
    }

    check(layer.getEntries().size() == map.getCells().size());
    for (const CMapCell& cell : map.getCells()) {
        // Lookups of any stored kind stay inside their tables.
        check(getCellTypeName(cell.cellType) != nullptr);
        check(isBlockingCellType(cell.cellType) == (cell.cellType != kCellFloor));
        const auto open = getWallNeighbours(map, cell.x, cell.y);
        for (int32_t quarter = 0; quarter < 4; ++quarter) {
            const int32_t piece = pickWallPiece(quarter, open);
            check(piece >= 0 && piece < 16);
        }
    }
    for (int32_t i = 0; i < map.getRoomCount(); ++i) {
        const CRoom* room = map.getRoom(i);
        check(room->left >= 0 && room->top >= 0 && room->right < width && room->bottom < height);
        check(room->left <= room->right && room->top <= room->bottom);
        for (const MapPoint gate : room->gates) {
            check(map.isInside(gate));
        }
        map.setRoomCells(map.getRoom(i));
    }
    check(map.assignRoomCells());
    return 0;
}
