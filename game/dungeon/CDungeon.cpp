#include "game/dungeon/CDungeon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "engine/random/OxRandomRange.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CCellObject.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow::Dungeon {

namespace {

// The four neighbours in the order placement tries them: east, south, west, north.
constexpr int32_t kNearX[4] = {1, 0, -1, 0};
constexpr int32_t kNearY[4] = {0, 1, 0, -1};

int32_t sign(int32_t value) { return (value > 0) - (value < 0); }

const CMapCell* cellOf(const CCellObject* object) { return object != nullptr ? object->getCell() : nullptr; }

// A search that failed from a cell with some depth fails again there with that depth or less
// (a failed put changes nothing), so each cell remembers its largest failed depth.
class NearSearch {
public:
    NearSearch(CDungeon& dungeon, CCellObject* object, bool force)
        : dungeon_(dungeon), object_(object), force_(force) {}

    MapPoint find(MapPoint point, int32_t depth) {
        if (depth < 1) {
            return kInvalidPoint;
        }
        const int64_t key = (int64_t{point.y} << 32) ^ static_cast<uint32_t>(point.x);
        const auto failed = failedDepth_.find(key);
        if (failed != failedDepth_.end() && depth <= failed->second) {
            return kInvalidPoint;
        }
        if (dungeon_.putCellObject(object_, point, force_)) {
            return point;
        }
        for (int i = 0; i < 4; ++i) {
            const MapPoint next{point.x + kNearX[i], point.y + kNearY[i]};
            if (dungeon_.putCellObject(object_, next, force_)) {
                return next;
            }
        }
        for (int i = 0; i < 4; ++i) {
            const MapPoint next{point.x + kNearX[i], point.y + kNearY[i]};
            const CMapCell* cell = dungeon_.getMap().getCell(next);
            if (cell != nullptr && (force_ || cell->cellType == kCellFloor)) {
                const MapPoint found = find(next, depth - 1);
                if (found != kInvalidPoint) {
                    return found;
                }
            }
        }
        failedDepth_[key] = depth;
        return kInvalidPoint;
    }

private:
    CDungeon& dungeon_;
    CCellObject* object_;
    bool force_;
    std::unordered_map<int64_t, int32_t> failedDepth_;
};

}  // namespace

bool CDungeon::isPlayer(const Actor::CActor* actor) {
    return actor != nullptr && actor->getActorType() == Actor::CActor::kPlayer;
}

bool CDungeon::holdsType(const CMapCell& cell, int32_t type) { return firstOfType(cell, type) != nullptr; }

CCellObject* CDungeon::firstOfType(const CMapCell& cell, int32_t type) {
    for (CCellObject* object : cell.objects) {
        if (object != nullptr && object->getCellObjectType() == type) {
            return object;
        }
    }
    return nullptr;
}

bool CDungeon::putCellObject(CCellObject* object, MapPoint point, bool force) {
    CMapCell* cell = map_->getCell(point);
    if (object == nullptr || cell == nullptr || (!force && cell->cellType != kCellFloor) ||
        holdsType(*cell, object->getCellObjectType()) || cell->objectCount >= CMapCell::kObjectSlots) {
        return false;
    }
    deleteCellObject(object);
    return cell->addObject(object);
}

void CDungeon::deleteCellObject(CCellObject* object) {
    if (object != nullptr && object->getCell() != nullptr) {
        object->getCell()->removeObject(object);
    }
}

MapPoint CDungeon::putCellObjectNear(CCellObject* object, MapPoint point, bool force, int32_t depth) {
    return NearSearch(*this, object, force).find(point, depth);
}

bool CDungeon::isMovableCell(const CMapCell* cell) {
    return cell != nullptr && cell->cellType == kCellFloor && !holdsType(*cell, CCellObject::kActor);
}

bool CDungeon::isDiagonalOpen(MapPoint from, MapPoint to) const {
    const CMapCell* side = map_->getCell({from.x + sign(to.x - from.x), from.y});
    const CMapCell* upright = map_->getCell({from.x, from.y + sign(to.y - from.y)});
    return side != nullptr && upright != nullptr && !isBlockingCellType(side->cellType) &&
           !isBlockingCellType(upright->cellType);
}

bool CDungeon::isMovable(const Actor::CActor* actor, MapPoint point, bool step) const {
    if (actor == nullptr || !isMovableCell(map_->getCell(point))) {
        return false;
    }
    if (!step) {
        return true;
    }
    const CMapCell* own = actor->getCell();
    if (own == nullptr) {
        return false;
    }
    for (const int64_t distance : {int64_t{point.x} - own->x, int64_t{point.y} - own->y}) {
        if (std::llabs(distance) > 1) {
            Orvex::System::debugOutput(u"1Cell以上の移動チェックはできません");
        }
    }
    if (point.x == own->x || point.y == own->y) {
        return true;
    }
    return isDiagonalOpen(own->getPoint(), point);
}

bool CDungeon::checkAttackPossible(MapPoint from, MapPoint to, int32_t attackKind) const {
    if (attackKind != 1 || from.x == to.x || from.y == to.y) {
        return true;
    }
    return isDiagonalOpen(from, to);
}

bool CDungeon::isPointInRoomSight(const Actor::CActor* actor, MapPoint point, bool ignoreIdentified) const {
    if (actor == nullptr) {
        return false;
    }
    if (!ignoreIdentified && actor->getStatus().getStabilityState(kFloorIdentifiedBit)) {
        return true;
    }
    const CMapCell* own = actor->getCell();
    if (own == nullptr) {
        return false;
    }
    if (const CRoom* room = own->room) {
        return int64_t{room->left} - 1 <= point.x && point.x <= int64_t{room->right} + 1 &&
               int64_t{room->top} - 1 <= point.y && point.y <= int64_t{room->bottom} + 1;
    }
    return std::llabs(int64_t{own->x} - point.x) <= 1 && std::llabs(int64_t{own->y} - point.y) <= 1;
}

bool CDungeon::checkActorInSight(const Actor::CActor* viewer, const CCellObject* target, bool ignoreIdentified) const {
    const CMapCell* cell = cellOf(target);
    return cell != nullptr && isPointInRoomSight(viewer, cell->getPoint(), ignoreIdentified);
}

bool CDungeon::checkPointInActorSight(MapPoint point, const Actor::CActor* actor) const {
    const CMapCell* own = cellOf(actor);
    const uint32_t cellSize = map_->getCellSize();
    if (own == nullptr || cellSize == 0) {
        return false;
    }
    const int64_t reachX = int64_t{screenWidth_ / (2 * cellSize)} + 2;
    const int64_t reachY = int64_t{screenHeight_ / (2 * cellSize)} + 2;
    return std::llabs(int64_t{point.x} - own->x) < reachX && std::llabs(int64_t{point.y} - own->y) < reachY;
}

bool CDungeon::checkCellObjectInActorSight(const CCellObject* object, const Actor::CActor* actor) const {
    const CMapCell* cell = cellOf(object);
    return cell != nullptr && checkPointInActorSight(cell->getPoint(), actor);
}

bool CDungeon::checkAnyActorInSight(const Actor::CActor* actor) const {
    for (const auto& participant : turnController_.getParticipants()) {
        const CMapCell* cell = participant ? participant->getCell() : nullptr;
        if (cell && checkPointInActorSight(cell->getPoint(), actor)) {
            return true;
        }
    }
    return false;
}

void CDungeon::removeActor(Actor::CActor* actor) {
    if (!actor) {
        return;
    }
    deleteCellObject(actor);
    actor->setDrawOffset(0.0f, 0.0f);
    if (std::shared_ptr<Actor::CActor> removed = turnController_.removeParticipant(actor)) {
        removedActors_.push_back(std::move(removed));
    }
}

void CDungeon::track(const Actor::CActor* actor, std::optional<MapPoint> previous) {
    const CMapCell* own = cellOf(actor);
    if (!isPlayer(actor) || own == nullptr) {
        return;
    }
    auto markFloor = [](CMapCell& cell) {
        if (cell.cellType == kCellFloor) {
            cell.tracked = true;
        }
    };
    if (const CRoom* room = own->room) {
        const CMapCell* before = previous ? map_->getCell(*previous) : nullptr;
        if (before != nullptr && before->room != nullptr) {
            return;
        }
        for (const MapPoint gate : room->gates) {
            if (CMapCell* cell = map_->getCell(gate)) {
                cell->tracked = true;
            }
        }
        forEachCellOfRoom(*room, 0, markFloor);
        return;
    }
    forEachCellOfRoom(CRoom(own->x, own->y, own->x, own->y), 1, markFloor);
}

void CDungeon::trackAllFloor(bool tracked) {
    for (CMapCell& cell : map_->getCells()) {
        if (cell.cellType == kCellFloor) {
            cell.tracked = tracked;
        }
    }
}

void CDungeon::setFloorIdentifiable(Actor::CActor* actor, bool identified) {
    if (actor == nullptr) {
        return;
    }
    if (isPlayer(actor)) {
        trackAllFloor(identified);
    }
    actor->getStatus().setStabilityState(kFloorIdentifiedBit, identified);
}

void CDungeon::setTrapIdentifiable(const Actor::CActor* actor, bool visible) {
    if (!isPlayer(actor)) {
        return;
    }
    for (CMapCell& cell : map_->getCells()) {
        for (CCellObject* object : cell.objects) {
            if (object != nullptr) {
                object->setVisible(visible);
            }
        }
    }
}

CRoom* CDungeon::getRandomRoom() {
    const int32_t count = map_->getRoomCount();
    return count > 0 ? map_->getRoom(Orvex::Random::getRange(random_, 0, count - 1)) : nullptr;
}

MapPoint CDungeon::getRandomRoomPoint(const CRoom* room, bool free) {
    if (room == nullptr) {
        return {0, 0};
    }
    for (int32_t draw = 0; draw < (free ? kFreePointDraws : 1); ++draw) {
        const int32_t x = Orvex::Random::getRange(random_, room->left, room->right);
        const int32_t y = Orvex::Random::getRange(random_, room->top, room->bottom);
        if (!free || isMovableCell(map_->getCell({x, y}))) {
            return {x, y};
        }
    }
    MapPoint found = kInvalidPoint;
    forEachCellOfRoom(*room, 0, [&found](CMapCell& cell) {
        if (found == kInvalidPoint && isMovableCell(&cell)) {
            found = cell.getPoint();
        }
    });
    return found;
}

template <typename Visit>
void CDungeon::forEachCellOfRoom(const CRoom& room, int32_t widen, Visit visit) const {
    // Column by column, each column from the top; only cells inside the map.
    const int64_t left = std::max<int64_t>(int64_t{room.left} - widen, 0);
    const int64_t right = std::min<int64_t>(int64_t{room.right} + widen, map_->getWidth() - 1);
    const int64_t top = std::max<int64_t>(int64_t{room.top} - widen, 0);
    const int64_t bottom = std::min<int64_t>(int64_t{room.bottom} + widen, map_->getHeight() - 1);
    for (int64_t x = left; x <= right; ++x) {
        for (int64_t y = top; y <= bottom; ++y) {
            visit(*map_->getCell({static_cast<int32_t>(x), static_cast<int32_t>(y)}));
        }
    }
}

bool CDungeon::checkRoomActorExist(const CRoom* room, int32_t actorId, bool widen) const {
    bool found = false;
    if (room != nullptr) {
        forEachCellOfRoom(*room, widen ? 1 : 0, [&found, actorId](const CMapCell& cell) {
            const auto* actor = static_cast<const Actor::CActor*>(firstOfType(cell, CCellObject::kActor));
            found = found || (actor != nullptr && actor->getActorID() == actorId);
        });
    }
    return found;
}

std::vector<Actor::CActor*> CDungeon::getRoomActorList(const CRoom* room) const {
    std::vector<Actor::CActor*> actors;
    if (room != nullptr) {
        forEachCellOfRoom(*room, 1, [&actors](const CMapCell& cell) {
            for (CCellObject* object : cell.objects) {
                if (object != nullptr && object->getCellObjectType() == CCellObject::kActor) {
                    actors.push_back(static_cast<Actor::CActor*>(object));
                }
            }
        });
    }
    return actors;
}

std::array<Actor::CActor*, 8> CDungeon::getAroundActorList(MapPoint point) const {
    std::array<Actor::CActor*, 8> actors{};
    for (std::size_t d = 0; d < 8; ++d) {
        const CMapCell* cell = map_->getCell({point.x + kDirectionX[d], point.y + kDirectionY[d]});
        actors[d] = cell != nullptr ? static_cast<Actor::CActor*>(firstOfType(*cell, CCellObject::kActor)) : nullptr;
    }
    return actors;
}

std::array<Item::CItem*, 8> CDungeon::getAroundItemList(MapPoint point, bool include) const {
    std::array<Item::CItem*, 8> items{};
    for (std::size_t d = 0; d < 8; ++d) {
        const CMapCell* cell = map_->getCell({point.x + kDirectionX[d], point.y + kDirectionY[d]});
        auto* item = cell != nullptr ? static_cast<Item::CItem*>(firstOfType(*cell, CCellObject::kItem)) : nullptr;
        items[d] = item != nullptr && (include || item->getStatus().getAnotherOption() == 0) ? item : nullptr;
    }
    return items;
}

bool CDungeon::dig(MapPoint point, bool anyKind, bool change) {
    CMapCell* cell = map_->getCell(point);
    if (cell == nullptr || (!anyKind && cell->cellType != kCellWall)) {
        return false;
    }
    if (change) {
        cell->cellType = kCellFloor;
    }
    return true;
}

bool CDungeon::breakingWall() {
    std::shared_ptr<CMonsterHouseInfo> house;
    std::shared_ptr<CShopInfo> shop;
    for (int32_t i = 0; i < map_->getRoomCount(); ++i) {
        const CRoom* room = map_->getRoom(i);
        if (house == nullptr && room->monsterHouse != nullptr) {
            house = room->monsterHouse;
        }
        if (shop == nullptr && room->shop != nullptr) {
            shop = room->shop;
        }
    }
    bool broken = false;
    for (CMapCell& cell : map_->getCells()) {
        if (cell.cellType == kCellWall) {
            cell.cellType = kCellFloor;
            broken = true;
        }
    }
    if (!broken) {
        return false;
    }
    map_->clearRoom();
    CRoom whole(0, 0, map_->getWidth() - 1, map_->getHeight() - 1);
    whole.monsterHouse = house;
    whole.shop = shop;
    whole.roomType = shop != nullptr ? 2 : house != nullptr ? 1 : 0;
    map_->addRoom(whole);
    map_->assignRoomCells();
    trackAllFloor(true);
    if (house != nullptr && player_ != nullptr) {
        player_->callEvent("onRoomIn");
    }
    return true;
}

bool CDungeon::burst(MapPoint point, bool all) {
    const CMapCell* cell = map_->getCell(point);
    if (cell == nullptr) {
        return false;
    }
    for (CCellObject* object : cell->objects) {
        if (object == nullptr || object->getCellObjectType() != CCellObject::kItem) {
            continue;
        }
        auto* item = static_cast<Item::CItem*>(object);
        const int32_t option = item->getStatus().getAnotherOption();
        if (!all && option >= 1 && option <= 4) {
            continue;
        }
        return removeItem(item) != nullptr;
    }
    return false;
}

void CDungeon::getAroundCellInfo(int32_t x, int32_t y, int32_t (&kinds)[8], bool (&visible)[8]) const {
    for (std::size_t d = 0; d < 8; ++d) {
        const CMapCell* cell = map_->getCell({x + kDirectionX[d], y + kDirectionY[d]});
        kinds[d] = cell != nullptr ? cell->cellType : kCellNone;
        visible[d] = false;
        for (const CCellObject* object : cell != nullptr ? cell->objects : std::array<CCellObject*, 4>{}) {
            visible[d] = visible[d] || (object != nullptr && object->isVisible());
        }
    }
}

std::vector<MapPoint> CDungeon::getShootableCells(const Actor::CActor* actor, int32_t direction, int32_t wantedType,
                                                  int32_t range, bool collectAll, bool passWalls) const {
    std::vector<MapPoint> points;
    const CMapCell* own = cellOf(actor);
    if (own == nullptr) {
        return points;
    }
    if (direction == -1) {
        direction = actor->getStatus().getDirection();
    }
    if (direction < 0 || direction > 7) {
        return points;
    }
    const int32_t dx = kDirectionX[direction];
    const int32_t dy = kDirectionY[direction];
    MapPoint end = kInvalidPoint;
    for (MapPoint p{own->x + dx, own->y + dy}; map_->isInside(p); p = {p.x + dx, p.y + dy}) {
        if (range != -1 && (std::abs(p.x - own->x) > range || std::abs(p.y - own->y) > range)) {
            break;
        }
        end = p;
        const CMapCell& cell = *map_->getCell(p);
        if (holdsType(cell, wantedType)) {
            if (!collectAll) {
                break;
            }
            points.push_back(p);
        }
        const bool stops = cell.cellType == kCellWall || cell.cellType == kCellHardWall ||
                           (wantedType == CCellObject::kItem && holdsType(cell, CCellObject::kActor));
        if (stops && !passWalls) {
            end = {p.x - dx, p.y - dy};
            break;
        }
    }
    if (collectAll ? (points.empty() || points.back() != end) : points.empty()) {
        points.push_back(end);
    }
    return points;
}

int32_t CDungeon::getDirectionIndex(MapPoint from, MapPoint to) {
    float dx = static_cast<float>(to.x) - static_cast<float>(from.x);
    float dy = static_cast<float>(to.y) - static_cast<float>(from.y);
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length != 0.0f) {
        dx /= length;
        dy /= length;
    }
    // The angle from north, clockwise, in degrees.
    float angle = std::acos(std::clamp(-dy, -1.0f, 1.0f)) * 180.0f / 3.14159265358979f;
    if (dx < 0.0f) {
        angle = 360.0f - angle;
    }
    angle += 22.5f;
    if (angle >= 360.0f) {
        angle -= 360.0f;
    }
    const float value = angle / 360.0f;
    for (int32_t k = 0; k < 8; ++k) {
        if (static_cast<float>(k) * 0.125f <= value && value < static_cast<float>(k + 1) * 0.125f) {
            return k;
        }
    }
    return 0;
}

void CDungeon::addFloorItem(const std::shared_ptr<Item::CItem>& item) {
    if (item != nullptr) {
        items_.push_back(item);
    }
}

std::shared_ptr<Item::CItem> CDungeon::removeItem(const Item::CItem* item) {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [item](const std::shared_ptr<Item::CItem>& entry) { return entry.get() == item; });
    if (item == nullptr || found == items_.end()) {
        return nullptr;
    }
    std::shared_ptr<Item::CItem> removed = *found;
    deleteCellObject(removed.get());
    items_.erase(found);
    return removed;
}

std::shared_ptr<Item::CItem> CDungeon::createItem(uint32_t itemId, MapPoint point) {
    const CMapCell* cell = map_->getCell(point);
    if (cell == nullptr || cell->cellType != kCellFloor || holdsType(*cell, CCellObject::kItem) ||
        itemFactory_ == nullptr) {
        return nullptr;
    }
    std::shared_ptr<Item::CItem> item = itemFactory_->createItem(itemId);
    if (item == nullptr) {
        return nullptr;
    }
    addFloorItem(item);
    if (!forcePutCellObject(item.get(), point)) {
        removeItem(item.get());
        return nullptr;
    }
    return item;
}

MapPoint CDungeon::putItem(Item::CItem* item, MapPoint point, bool visible, int32_t depth) {
    if (item == nullptr || depth < 1) {
        return kInvalidPoint;
    }
    const MapPoint landing = putCellObjectNear(item, point, false, depth);
    if (landing == kInvalidPoint) {
        removeItem(item);
        return kInvalidPoint;
    }
    if (item->getHolder() != nullptr) {
        std::shared_ptr<Item::CItem> taken = item->removeFromHolder();
        if (player_ != nullptr) {
            player_->addItem(taken);
        }
    }
    const int32_t carried = player_ != nullptr ? player_->findItem(item) : -1;
    if (carried >= 0) {
        addFloorItem(player_->getItemList().at(static_cast<std::size_t>(carried)));
    }
    item->setVisible(visible);
    return landing;
}

void CDungeon::toPlayerItem(Item::CItem* item) {
    if (player_ == nullptr) {
        return;
    }
    std::shared_ptr<Item::CItem> taken = removeItem(item);
    if (taken == nullptr) {
        return;
    }
    player_->addItem(taken);
    logManager_.addLogMessage(taken->getDisplayName(true) + u"を拾った。");
    const CMapCell* own = player_->getCell();
    if (own == nullptr || own->room == nullptr || own->room->shop == nullptr) {
        taken->setShopEntryID(-1);
        taken->setShopCell(kInvalidPoint);
    }
}

std::shared_ptr<Item::CItem> CDungeon::getCellItem(const CMapCell* cell) const {
    const CCellObject* object = cell != nullptr ? firstOfType(*cell, CCellObject::kItem) : nullptr;
    for (const std::shared_ptr<Item::CItem>& item : items_) {
        if (object != nullptr && item.get() == object) {
            return item;
        }
    }
    return nullptr;
}

std::vector<MapPoint> CDungeon::findItemsByItemID(uint32_t itemId) const {
    std::vector<MapPoint> points;
    for (const CMapCell& cell : map_->getCells()) {
        for (const CCellObject* object : cell.objects) {
            if (object != nullptr && object->getCellObjectType() == CCellObject::kItem &&
                static_cast<const Item::CItem*>(object)->getItemID() == itemId) {
                points.push_back(cell.getPoint());
                break;
            }
        }
    }
    return points;
}

}  // namespace Fenwarrow::Dungeon
