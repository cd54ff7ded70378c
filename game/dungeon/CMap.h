#pragma once
// The grid of one dungeon floor: its cells, its rooms, the start position and the chip layers
// that give it its look. Floor scripts lay it out; the rules read it; the floor save writes it.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/system/shared_vector_ptr.h"
#include "game/dungeon/CChipLayer.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow::Dungeon {

class CSerializeInfo;

class CMap {
public:
    using ChipLayerList = Orvex::System::shared_vector_ptr<CChipLayer>;

    // Larger maps are refused: they only come from broken scripts or saves.
    static constexpr int64_t kMaxCells = int64_t{1} << 20;

    CMap() = default;
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    virtual ~CMap() = default;

    // Rebuilds the map: w x h cells of type None, each knowing its position, and one room over
    // the whole map (not yet assigned to the cells). A cell size of 0, a non-positive size or
    // more than kMaxCells cells is refused (false) and the map stays as it was.
    bool create(uint32_t cellSize, int32_t width, int32_t height);
    // No cells, rooms or chip layers; start position (0, 0).
    void clear();

    // Null outside the map.
    CMapCell* getCell(MapPoint point);
    const CMapCell* getCell(MapPoint point) const;
    bool isInside(MapPoint point) const {
        return point.x >= 0 && point.y >= 0 && point.x < width_ && point.y < height_;
    }

    // Rooms live at stable addresses: a room handle stays valid while rooms are added after it,
    // and a caller that must outlive clearRoom keeps the shared pointer.
    int32_t getRoomCount() const { return static_cast<int32_t>(rooms_.size()); }
    // Null when the index, taken as unsigned, is not below the room count.
    CRoom* getRoom(int32_t index) const;
    std::shared_ptr<CRoom> getSharedRoom(int32_t index) const;
    // The room number of a room of this map; -1 for any other pointer.
    int32_t indexOfRoom(const CRoom* room) const;
    // Appends a copy and returns it.
    CRoom* addRoom(const CRoom& room);
    // Removes every room and every cell's room link.
    void clearRoom();
    // Links every cell inside a room's rectangle to that room, rooms in number order (a later
    // room wins where rooms overlap; each overlapping cell is reported on the debug output).
    // Rectangles are clipped to the map.
    bool assignRoomCells();
    // Links the cells of the room's rectangle that lie inside the map to the room.
    void setRoomCells(CRoom* room);

    // Both directions: cell size, size, start position, rooms, cells as 52-byte records, chip
    // layers. Reading relinks the cells' objects through the identities in info (a slot naming
    // no known object is dropped and the slots closed up) and rebuilds the room links. False,
    // on reading, for a damaged stream; the map is then cleared.
    bool serialize(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info);

    uint32_t getCellSize() const { return cellSize_; }
    int32_t getWidth() const { return width_; }
    int32_t getHeight() const { return height_; }
    std::vector<CMapCell>& getCells() { return cells_; }
    const std::vector<CMapCell>& getCells() const { return cells_; }
    MapPoint getStartPosition() const { return startPosition_; }
    void setStartPosition(MapPoint point) { startPosition_ = point; }
    ChipLayerList& getChipLayers() { return chipLayers_; }
    const ChipLayerList& getChipLayers() const { return chipLayers_; }

private:
    bool readBody(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info);
    void writeBody(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info) const;
    // Visits the cells of the rectangle that lie inside the map.
    template <typename Visit>
    void forEachCellIn(const CRoom& room, Visit visit);

    uint32_t cellSize_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<CMapCell> cells_;
    std::vector<std::shared_ptr<CRoom>> rooms_;
    MapPoint startPosition_;
    ChipLayerList chipLayers_;
};

}  // namespace Fenwarrow::Dungeon
