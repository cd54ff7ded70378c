#include "game/dungeon/CMap.h"

#include <algorithm>

#include "engine/serialization/OxSerializer.h"
#include "game/dungeon/CCellObject.h"
#include "game/dungeon/CSerializeInfo.h"
#include "game/dungeon/SerializedList.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow::Dungeon {

namespace {

bool isAcceptedSize(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width * height <= CMap::kMaxCells;
}

// The smallest saved room: five numbers, a gate count and the two record flags.
constexpr uint32_t kMinRoomBytes = 26;
// The smallest saved chip layer: an empty name, the flag, an empty chip set and entry count.
constexpr uint32_t kMinLayerBytes = 11;

}  // namespace

bool CMap::create(uint32_t cellSize, int32_t width, int32_t height) {
    if (cellSize == 0 || !isAcceptedSize(width, height)) {
        return false;
    }
    clear();
    cellSize_ = cellSize;
    cells_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            cells_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]
                .initialize({x, y});
        }
    }
    width_ = width;
    height_ = height;
    addRoom(CRoom(0, 0, width - 1, height - 1));
    return true;
}

void CMap::clear() {
    width_ = 0;
    height_ = 0;
    cells_.clear();
    rooms_.clear();
    chipLayers_.clear();
    startPosition_ = {0, 0};
}

CMapCell* CMap::getCell(MapPoint point) {
    return isInside(point) ? &cells_[static_cast<std::size_t>(point.y) * static_cast<std::size_t>(width_) +
                                     static_cast<std::size_t>(point.x)]
                           : nullptr;
}

const CMapCell* CMap::getCell(MapPoint point) const { return const_cast<CMap*>(this)->getCell(point); }

CRoom* CMap::getRoom(int32_t index) const { return getSharedRoom(index).get(); }

std::shared_ptr<CRoom> CMap::getSharedRoom(int32_t index) const {
    return static_cast<uint32_t>(index) < rooms_.size() ? rooms_[static_cast<uint32_t>(index)] : nullptr;
}

int32_t CMap::indexOfRoom(const CRoom* room) const {
    for (std::size_t i = 0; i < rooms_.size(); ++i) {
        if (rooms_[i].get() == room) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

CRoom* CMap::addRoom(const CRoom& room) {
    rooms_.push_back(std::make_shared<CRoom>(room));
    return rooms_.back().get();
}

void CMap::clearRoom() {
    rooms_.clear();
    for (CMapCell& cell : cells_) {
        cell.room = nullptr;
    }
}

template <typename Visit>
void CMap::forEachCellIn(const CRoom& room, Visit visit) {
    const int32_t left = std::max(room.left, 0);
    const int32_t top = std::max(room.top, 0);
    const int32_t right = std::min(room.right, width_ - 1);
    const int32_t bottom = std::min(room.bottom, height_ - 1);
    for (int32_t y = top; y <= bottom; ++y) {
        for (int32_t x = left; x <= right; ++x) {
            visit(*getCell({x, y}));
        }
    }
}

bool CMap::assignRoomCells() {
    for (const std::shared_ptr<CRoom>& room : rooms_) {
        forEachCellIn(*room, [&room](CMapCell& cell) {
            if (cell.room != nullptr) {
                Orvex::System::debugOutput(u"部屋が重なっている");
            }
            cell.room = room.get();
        });
    }
    return true;
}

void CMap::setRoomCells(CRoom* room) {
    if (room != nullptr) {
        forEachCellIn(*room, [room](CMapCell& cell) { cell.room = room; });
    }
}

bool CMap::serialize(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info) {
    if (serializer.isWriting()) {
        writeBody(serializer, info);
        return true;
    }
    if (readBody(serializer, info) && !serializer.hasReadFailed()) {
        return true;
    }
    clear();
    return false;
}

void CMap::writeBody(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info) const {
    serializer.write32(cellSize_);
    serializer.write32(width_);
    serializer.write32(height_);
    serializer.write32(startPosition_.x);
    serializer.write32(startPosition_.y);
    serializer.write32(static_cast<uint32_t>(rooms_.size()));
    for (const std::shared_ptr<CRoom>& room : rooms_) {
        room->serialize(serializer);
    }
    serializer.write32(static_cast<uint32_t>(cells_.size()));
    for (const CMapCell& cell : cells_) {
        MapCellRecord record;
        record.initialized = cell.initialized ? 1 : 0;
        record.x = cell.x;
        record.y = cell.y;
        record.drawX = cell.drawX;
        record.drawY = cell.drawY;
        record.cellType = cell.cellType;
        record.tracked = cell.tracked ? 1 : 0;
        record.objectCount = cell.objectCount;
        for (std::size_t i = 0; i < CMapCell::kObjectSlots; ++i) {
            record.objects[i] = info.findIdentity(cell.objects[i]);
        }
        uint8_t bytes[MapCellRecord::kSize];
        record.encode(bytes);
        serializer.writeBlock(bytes, sizeof(bytes));
    }
    serializer.write32(static_cast<uint32_t>(chipLayers_.size()));
    for (std::size_t i = 0; i < chipLayers_.size(); ++i) {
        chipLayers_.at(i)->serialize(serializer);
    }
}

bool CMap::readBody(Orvex::Serialization::OxSerializer& serializer, const CSerializeInfo& info) {
    clear();
    serializer.read32(cellSize_);
    serializer.read32(width_);
    serializer.read32(height_);
    serializer.read32(startPosition_.x);
    serializer.read32(startPosition_.y);
    if (cellSize_ == 0 || !isAcceptedSize(width_, height_)) {
        return false;
    }
    if (!readSerializedList<CRoom>(serializer, kMinRoomBytes, rooms_)) {
        return false;
    }
    uint32_t cellCount = 0;
    if (!serializer.readCount(cellCount, MapCellRecord::kSize) ||
        cellCount != static_cast<uint32_t>(width_) * static_cast<uint32_t>(height_)) {
        return false;
    }
    cells_.resize(cellCount);
    for (CMapCell& cell : cells_) {
        uint8_t bytes[MapCellRecord::kSize];
        if (!serializer.readBlock(bytes, sizeof(bytes))) {
            return false;
        }
        const MapCellRecord record = MapCellRecord::decode(bytes);
        cell.initialized = record.initialized != 0;
        cell.x = record.x;
        cell.y = record.y;
        cell.drawX = record.drawX;
        cell.drawY = record.drawY;
        cell.cellType = record.cellType;
        cell.tracked = record.tracked != 0;
        // Only objects restored with this floor come back; the slots stay packed and counted.
        const uint32_t saved = std::min<uint32_t>(record.objectCount, CMapCell::kObjectSlots);
        for (uint32_t i = 0; i < saved; ++i) {
            if (CCellObject* object = info.findCellObject(record.objects[i])) {
                cell.addObject(object);
            }
        }
    }
    assignRoomCells();
    if (!readSerializedList<CChipLayer>(serializer, kMinLayerBytes, chipLayers_)) {
        return false;
    }
    // The renderer reads one entry per cell of every layer.
    for (std::size_t i = 0; i < chipLayers_.size(); ++i) {
        if (chipLayers_.at(i)->getEntries().size() != cells_.size()) {
            return false;
        }
    }
    return true;
}

}  // namespace Fenwarrow::Dungeon
