#include "game/dungeon/MapDataUnpack.h"

#include <algorithm>
#include <vector>

#include "engine/serialization/OxBase64.h"
#include "game/dungeon/CChipLayer.h"
#include "game/dungeon/CMap.h"

namespace Fenwarrow::Dungeon {

namespace {

struct Record {
    uint32_t field[4];
};

// The records that both the data and the map hold, each handed with its cell index.
template <typename Visit>
void forEachRecord(const CMap& map, const std::string& bytes, Visit visit) {
    const std::size_t cells = map.getCells().size();
    const std::size_t records = std::min(bytes.size() / kMapRecordSize, cells);
    for (std::size_t i = 0; i < records; ++i) {
        Record record{};
        for (std::size_t f = 0; f < 4; ++f) {
            const auto* at = reinterpret_cast<const unsigned char*>(bytes.data() + i * kMapRecordSize + f * 4);
            record.field[f] = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                              static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
        }
        visit(i, record);
    }
}

// A room being grown; right and bottom exclusive.
struct Area {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
    CRoom* room;

    bool isNear(int64_t x, int64_t y) const {
        return x - 1 <= right && left <= x + 2 && y - 1 <= bottom && top <= y + 2;
    }
};

}  // namespace

void unpackCellTypes(CMap& map, const std::string& bytes) {
    std::vector<CMapCell>& cells = map.getCells();
    forEachRecord(map, bytes, [&cells](std::size_t i, const Record& record) {
        // Wrapping arithmetic: any data gives a defined kind.
        cells[i].cellType =
            record.field[0] == 1 ? static_cast<int32_t>(record.field[2] + 4u * record.field[3]) : kCellNone;
    });
}

void unpackChipData(CMap& map, CChipLayer& layer, const std::string& bytes) {
    std::vector<ChipEntry>& entries = layer.getEntries();
    forEachRecord(map, bytes, [&entries](std::size_t i, const Record& record) {
        if (i >= entries.size()) {
            return;
        }
        ChipEntry& entry = entries[i];
        entry.enabled = record.field[0] == 1 ? 1 : 0;
        entry.chipInfoIndex = static_cast<int32_t>(record.field[1]);
        entry.chipX = static_cast<int32_t>(record.field[2]);
        entry.chipY = static_cast<int32_t>(record.field[3]);
    });
}

void unpackRoomData(CMap& map, const std::string& bytes) {
    std::vector<Area> areas;
    std::vector<MapPoint> gates;
    const std::vector<CMapCell>& cells = map.getCells();
    forEachRecord(map, bytes, [&](std::size_t i, const Record& record) {
        if (record.field[0] == 0) {
            return;
        }
        const int64_t x = cells[i].x;
        const int64_t y = cells[i].y;
        if (record.field[2] == 2) {
            gates.push_back(cells[i].getPoint());
            return;
        }
        if (record.field[2] != 1) {
            return;
        }
        const auto near = std::find_if(areas.begin(), areas.end(), [x, y](const Area& a) { return a.isNear(x, y); });
        if (near == areas.end()) {
            CRoom* room = map.addRoom(CRoom(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x),
                                            static_cast<int32_t>(y)));
            areas.push_back({x, y, x + 1, y + 1, room});
            return;
        }
        Area& area = *near;
        area.left = std::min(area.left, x);
        area.top = std::min(area.top, y);
        area.right = std::max(area.right, x + 1);
        area.bottom = std::max(area.bottom, y + 1);
        area.room->left = static_cast<int32_t>(area.left);
        area.room->top = static_cast<int32_t>(area.top);
        area.room->right = static_cast<int32_t>(area.right - 1);
        area.room->bottom = static_cast<int32_t>(area.bottom - 1);
    });
    for (const MapPoint gate : gates) {
        const auto near =
            std::find_if(areas.begin(), areas.end(), [gate](const Area& a) { return a.isNear(gate.x, gate.y); });
        if (near != areas.end()) {
            near->room->gates.push_back(gate);
        }
    }
}

void unpackCellTypesFromBase64(CMap& map, const std::string& text) {
    unpackCellTypes(map, Orvex::Serialization::base64Decode(text));
}

void unpackChipDataFromBase64(CMap& map, CChipLayer& layer, const std::string& text) {
    unpackChipData(map, layer, Orvex::Serialization::base64Decode(text));
}

void unpackRoomDataFromBase64(CMap& map, const std::string& text) {
    unpackRoomData(map, Orvex::Serialization::base64Decode(text));
}

}  // namespace Fenwarrow::Dungeon
