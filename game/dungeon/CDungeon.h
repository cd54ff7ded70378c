#pragma once
// The dungeon floor in play: its map, the views scripts steer, its message log, and the rules
// that decide where cell objects may stand, move, see and shoot.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/random/IOrvexRandomGenerator.h"
#include "game/dungeon/CLogManager.h"
#include "game/dungeon/CMap.h"
#include "game/dungeon/CMapRenderer.h"
#include "game/dungeon/CTurnController.h"
#include "engine/system/shared_vector_ptr.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
class CItemFactory;
}  // namespace Fenwarrow::Item

namespace Fenwarrow::Dungeon {

class CCellObject;

class CDungeon {
public:
    // The eight directions, clockwise from north.
    static constexpr int32_t kDirectionX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int32_t kDirectionY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    // Draws of a random free room point before the room is searched cell by cell.
    static constexpr int32_t kFreePointDraws = 32;
    // The stability-state bit of an actor that has identified the floor.
    static constexpr uint32_t kFloorIdentifiedBit = 1;
    static constexpr std::size_t kMaxActors = 20;

    // Random room choices draw from the generator, which must outlive the floor.
    explicit CDungeon(Orvex::Random::IOrvexRandomGenerator& random);
    CDungeon(const CDungeon&) = delete;
    CDungeon& operator=(const CDungeon&) = delete;
    virtual ~CDungeon();

    CMap& getMap() { return *map_; }
    const CMap& getMap() const { return *map_; }
    CMapRenderer& getMapRenderer() { return mapRenderer_; }
    CMiniMapRenderer& getMiniMapRenderer() { return miniMapRenderer_; }
    CLogManager& getLogManager() { return logManager_; }
    // The screen the sight rule measures in cells (the game settings' size).
    void setScreenSize(uint32_t width, uint32_t height) {
        screenWidth_ = width;
        screenHeight_ = height;
    }

    // Placement. The point must be inside the map and, unless forced, a Floor cell holding no
    // object of the object's own type; the object then leaves its old cell for it.
    bool putCellObject(CCellObject* object, MapPoint point, bool force);
    bool forcePutCellObject(CCellObject* object, MapPoint point) { return putCellObject(object, point, true); }
    void deleteCellObject(CCellObject* object);
    // The point, then its four neighbours (east, south, west, north), then the same search
    // from each neighbour with one step less; the invalid point when depth < 1 or nothing fits.
    MapPoint putCellObjectNear(CCellObject* object, MapPoint point, bool force, int32_t depth);

    // Movement and attack.
    static bool isMovableCell(const CMapCell* cell);
    bool isMovable(const Actor::CActor* actor, MapPoint point, bool step) const;
    bool checkAttackPossible(MapPoint from, MapPoint to, int32_t attackKind) const;

    // Sight.
    bool isPointInRoomSight(const Actor::CActor* actor, MapPoint point, bool ignoreIdentified) const;
    bool checkActorInSight(const Actor::CActor* viewer, const CCellObject* target, bool ignoreIdentified) const;
    bool checkPointInActorSight(MapPoint point, const Actor::CActor* actor) const;
    bool checkCellObjectInActorSight(const CCellObject* object, const Actor::CActor* actor) const;

    // Exploration.
    void track(const Actor::CActor* actor, std::optional<MapPoint> previous);
    void trackAllFloor(bool tracked);
    void setFloorIdentifiable(Actor::CActor* actor, bool identified);
    void setTrapIdentifiable(const Actor::CActor* actor, bool visible);

    // Rooms and surroundings.
    CRoom* getRandomRoom();
    // A random point of the room's rectangle, or (0, 0) for no room. With free set the draw is
    // repeated a bounded number of times, then the rectangle is searched; a room without a free
    // cell gives the invalid point.
    MapPoint getRandomRoomPoint(const CRoom* room, bool free);
    bool checkRoomActorExist(const CRoom* room, int32_t actorId, bool widen) const;
    std::vector<Actor::CActor*> getRoomActorList(const CRoom* room) const;
    std::array<Actor::CActor*, 8> getAroundActorList(MapPoint point) const;
    void getAroundCellInfo(int32_t x, int32_t y, int32_t (&kinds)[8], bool (&visible)[8]) const;
    // The points along a line of fire: direction -1 is the actor's facing; the line ends at the
    // first object of the wanted type unless all are collected, and at walls unless it passes
    // them.
    std::vector<MapPoint> getShootableCells(const Actor::CActor* actor, int32_t direction, int32_t wantedType,
                                            int32_t range, bool collectAll, bool passWalls) const;
    static int32_t getDirectionIndex(MapPoint from, MapPoint to);

    // The order of play. Newcomers join with the skip flag: they act from the round after the
    // player's next turn, unless they stand in a room that lets them act at once.
    CTurnController& getTurnController() { return turnController_; }
    const CTurnController& getTurnController() const { return turnController_; }
    void addTurnParticipant(const std::shared_ptr<Actor::CActor>& actor) {
        turnController_.appendParticipant(actor, true);
    }
    void insertTurnParticipant(const std::shared_ptr<Actor::CActor>& actor, std::size_t index) {
        turnController_.insertParticipant(actor, index, true);
    }
    // The floor holds as many actors as it takes.
    bool isMaxActor() const { return turnController_.getParticipantCount() >= kMaxActors; }
    // Off its cell and out of the turn order; the floor keeps it alive until its next update,
    // so an action still running on it does not outlive its actor.
    void removeActor(Actor::CActor* actor);
    const Orvex::System::shared_vector_ptr<Actor::CActor>& getRemovedActors() const { return removedActors_; }
    // Some participant stands on the actor's screen.
    bool checkAnyActorInSight(const Actor::CActor* actor) const;

    // The player of this floor (the game data's), which carries the items put from containers.
    void setPlayer(const std::shared_ptr<Actor::CActor>& player) { player_ = player; }
    const std::shared_ptr<Actor::CActor>& getPlayer() const { return player_; }

    // Floor items. Items are made by the factory, which must outlive the floor.
    void setItemFactory(Item::CItemFactory* factory) { itemFactory_ = factory; }
    const std::vector<std::shared_ptr<Item::CItem>>& getItems() const { return items_; }
    void addFloorItem(const std::shared_ptr<Item::CItem>& item);
    // Takes the item off its cell and out of the floor list; empty when it is not a floor item.
    std::shared_ptr<Item::CItem> removeItem(const Item::CItem* item);
    // A new item of that ID on a Floor cell inside the map that holds no item; null, with
    // nothing changed, when the point does not fit or the factory makes no such item.
    std::shared_ptr<Item::CItem> createItem(uint32_t itemId, MapPoint point);
    // The floor list's owner of the first item on the cell; empty when there is none.
    std::shared_ptr<Item::CItem> getCellItem(const CMapCell* cell) const;
    // Lands the item on the nearest cell within the depth that takes it. An item inside a
    // container goes to the player first; an item the player carries joins the floor list (the
    // player's own list is the caller's). The item then shows or hides by `visible`. Nowhere to
    // land: the item leaves the game. The landing point, or the invalid point.
    MapPoint putItem(Item::CItem* item, MapPoint point, bool visible, int32_t depth);
    // A floor item picked up by the player: off its cell and the floor list into the player's
    // items, with the log line. Outside a shop room it stops being shop goods.
    void toPlayerItem(Item::CItem* item);
    // The points, row by row, of the cells holding an item with that ID.
    std::vector<MapPoint> findItemsByItemID(uint32_t itemId) const;

private:
    static bool isPlayer(const Actor::CActor* actor);
    static bool holdsType(const CMapCell& cell, int32_t type);
    static CCellObject* firstOfType(const CMapCell& cell, int32_t type);
    // Both orthogonal cells beside `from` towards `to` are inside and of an enterable kind.
    bool isDiagonalOpen(MapPoint from, MapPoint to) const;
    template <typename Visit>
    void forEachCellOfRoom(const CRoom& room, int32_t widen, Visit visit) const;

    Orvex::Random::IOrvexRandomGenerator& random_;
    std::unique_ptr<CMap> map_ = std::make_unique<CMap>();
    CMapRenderer mapRenderer_;
    CMiniMapRenderer miniMapRenderer_;
    CLogManager logManager_;
    Item::CItemFactory* itemFactory_ = nullptr;
    std::shared_ptr<Actor::CActor> player_;
    std::vector<std::shared_ptr<Item::CItem>> items_;
    CTurnController turnController_{*this};
    Orvex::System::shared_vector_ptr<Actor::CActor> removedActors_;
    uint32_t screenWidth_ = 800;
    uint32_t screenHeight_ = 600;
};

}  // namespace Fenwarrow::Dungeon
