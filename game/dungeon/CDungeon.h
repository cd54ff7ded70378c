#pragma once
// The dungeon floor in play: its map, the views scripts steer, its message log, the rules that
// decide where cell objects may stand, move, see and shoot, and the floor's life: set-up from
// the floor scripts on a worker thread behind a loading screen, the states of play, floor
// changes and the way out to other scenes.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/fsm/HsmBase.h"
#include "engine/random/IOrvexRandomGenerator.h"
#include "engine/thread/OxEvent.h"
#include "game/dungeon/CLogManager.h"
#include "game/dungeon/FloorState.h"
#include "game/dungeon/IActionManager.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/dungeon/CMap.h"
#include "game/dungeon/CMapRenderer.h"
#include "game/dungeon/CMiniMapRenderer.h"
#include "game/dungeon/CTurnController.h"
#include "graphics/include/OxRefPtr.h"
#include "engine/system/shared_vector_ptr.h"

namespace Orvex::Thread {
class OxThread;
}
namespace Orvex::Serialization {
class OxSerializer;
}
namespace Theora {
class TheoraPlayer;
}
namespace Orvex::Graphics {
class IOrvexTexture;
class OxFadeScreenEffect;
}  // namespace Orvex::Graphics
namespace Fenwarrow {
class CScriptController;
}
namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
class CItemFactory;
}  // namespace Fenwarrow::Item

namespace Fenwarrow::Dungeon {

class CCellObject;
class CSerializeInfo;
class CShopInfo;

// The events the floor sends its states each frame.
struct CDungeonEvent {
    int32_t id = 0;
};

class CDungeon : public Orvex::FSM::HsmBase<CDungeon, CDungeonEvent> {
public:
    static constexpr int32_t kEventDraw = 0;
    static constexpr int32_t kEventUpdate = 1;
    static constexpr int32_t kSceneResult = 10;
    static constexpr uint32_t kCautionTurn = 900;
    static constexpr uint32_t kWarningTurn = 950;
    static constexpr uint32_t kMeltdownTurn = 1000;
    static constexpr int32_t kFloorTypeNoLimit = 2;
    static constexpr float kDefeatSeconds = 3.6f;
    static constexpr uint32_t kHudPriority = 7000000;
    static constexpr uint32_t kLoadingPriority = 5500000;

    // The eight directions, clockwise from north.
    static constexpr int32_t kDirectionX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int32_t kDirectionY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    // Draws of a random free room point before the room is searched cell by cell.
    static constexpr int32_t kFreePointDraws = 32;
    // The stability-state bit of an actor that has identified the floor.
    static constexpr uint32_t kFloorIdentifiedBit = 1;
    static constexpr std::size_t kMaxActors = 20;

    // The services must outlive the floor.
    explicit CDungeon(IDungeonServices& services);
    CDungeon(const CDungeon&) = delete;
    CDungeon& operator=(const CDungeon&) = delete;
    virtual ~CDungeon();

    // Life of a visit (game thread): starts the worker and the loading state and posts the
    // set-up the dungeon settings ask for; false when there is nothing to set up.
    bool initialize();
    void update();
    void draw();
    // Releases the floor: the worker is stopped first, so no set-up runs on after it.
    void clear();

    // Work for the floor's worker thread, run in order.
    void postTask(std::function<void()> task);
    // Work for the start of the next update, on the game thread.
    void postDeferredCall(std::function<void()> call);
    void requestExitScene(int32_t scene);
    void requestPrevDungeon();
    void requestNextDungeon();
    void changeFloor(const std::u16string& scriptPath);
    void changeFloorNow(const std::u16string& scriptPath);
    void doEventScript(const std::u16string& scriptPath);
    // Opens a dialogue layer for the story over the floor, the log's waiting lines cleared; the
    // two context values (objects a script hands over, or 0) reach the story's set-up script.
    // False, with a line on stderr, when the game makes no such layer.
    bool doAdventureScript(const std::u16string& story, uintptr_t first, uintptr_t second);
    void setBackgroundColor(uint32_t colour);
    // A movie over the whole screen, drawn with the floor at that priority; no movie when the
    // file is missing or does not open.
    void openMovie(const std::u16string& path, uint32_t drawPriority, bool loop);
    void releaseMovie();
    bool isMoviePlaying() const;

    // The suspended floor. saveFloor writes the whole floor in play (the suspend id, the state
    // record, the enemy list, the turn count, every participant and floor item, the map, the
    // enemy-generation mark, then the game's random generator state, so that the resumed
    // floor draws the numbers the suspended one would have drawn); loadFloor reads it into
    // this floor, which must be fresh from initialize, and rebuilds what is not saved (cell
    // and room links, the loading screen, HUD, mini-map, movie). A file that ends before the
    // generator's state loads and leaves the generator as it is. A suspend id other than the
    // game data's, or any damaged part, makes loadFloor false.
    bool saveFloor(Orvex::Serialization::OxSerializer& serializer);
    bool loadFloor(Orvex::Serialization::OxSerializer& serializer);
    // The start-up of a resumed floor (a worker task): the services read the suspend save,
    // which is deleted once it has been resumed; on failure the game goes to the result scene.
    bool resumeFloor();
    // Whether loadFloor insists on the game data's suspend id (a test may read a floor alone).
    void setVerifySuspendData(bool verify) { verifySuspendData_ = verify; }
    // Which part of the suspend save the last loadFloor refused, and the body byte it starts at.
    const std::string& getLoadError() const { return loadError_; }
    // Whether the last loadFloor refused a sound file of another suspend (its id), rather than
    // a damaged one.
    bool isLoadRefusedAsStale() const { return loadStale_; }

    // The worker tasks; public so that a test can run a set-up step by itself.
    void setupDungeon(const std::u16string& scriptPath);
    void setupFloor(const std::u16string& scriptPath);
    void setupEventScript(const std::u16string& scriptPath);

    FloorState& getFloorState() { return floorState_; }
    const FloorState& getFloorState() const { return floorState_; }
    IDungeonServices& getServices() { return services_; }
    const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& getFontRenderer() const { return fontRenderer_; }
    IActionManager* getActionManager() { return actionManager_.get(); }
    const std::vector<std::u16string>& getEnemyList() const { return enemyList_; }
    void addEnemyList(const std::u16string& folder) { enemyList_.push_back(folder); }
    bool getHudVisible() const { return hudVisible_; }
    void setHudVisible(bool visible) { hudVisible_ = visible; }
    int32_t getRequestedScene() const { return requestedScene_; }
    const std::shared_ptr<CScriptController>& getHudScript() const { return hudScript_; }
    bool isLoadingReady() const { return loadingReady_.load(std::memory_order_acquire); }
    bool isTitleLoaded() const { return titleLoaded_.load(std::memory_order_acquire); }
    // The worker has run every task posted so far.
    bool isIdle() const { return idleEvent_.isSet(); }
    bool isEventScriptRunning() const { return eventScriptRunning_; }

    // Which state runs (for the scene and for tests).
    bool isLoading() const { return getCurrent() == State(&CDungeon::loadingState); }
    bool isInMain() const { return getCurrent() == State(&CDungeon::mainState); }
    bool isInEvent() const { return getCurrent() == State(&CDungeon::eventState); }
    bool isDefeated() const { return getCurrent() == State(&CDungeon::defeatState); }
    bool isInMeltdown() const { return getCurrent() == State(&CDungeon::meltdownState); }
    bool isExiting() const { return getCurrent() == State(&CDungeon::exitState); }

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
    uint32_t getScreenWidth() const { return screenWidth_; }

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
    // The first item on each neighbour; an item with a state value counts as none unless
    // `include` is set.
    std::array<Item::CItem*, 8> getAroundItemList(MapPoint point, bool include) const;
    void getAroundCellInfo(int32_t x, int32_t y, int32_t (&kinds)[8], bool (&visible)[8]) const;

    // Digging and breaking. A Wall cell inside the map (any kind with anyKind) can be dug; with
    // change set it becomes Floor. Whether it could be dug.
    bool dig(MapPoint point, bool anyKind, bool change);
    // Every Wall becomes Floor and the floor becomes one room over the whole map that keeps the
    // first monster house and shop; false, with the rooms left alone, when there was no wall.
    bool breakingWall();
    // Takes the first item of the cell off the floor; without `all`, items with an option value
    // of 1 to 4 are passed over. Whether one was taken.
    bool burst(MapPoint point, bool all);
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
    // A new enemy or non-player of that actor folder, set up, in the turn order and on the
    // point, which must be movable; null (and nothing kept) otherwise or at the actor limit.
    std::shared_ptr<Actor::CActor> createEnemy(const std::u16string& folder, MapPoint point);
    std::shared_ptr<Actor::CActor> createNonPlayer(const std::u16string& folder, MapPoint point);
    // Shops and monster houses: the room gets a record run by the script (its "setup" answers);
    // false without a room or when the script or a module fails.
    bool createShop(const std::u16string& script, CRoom* room);
    bool createMonsterHouse(const std::u16string& script, CRoom* room);
    // The shop of the first room that has one; null without a shop.
    CShopInfo* getCurrentShopInfo() const;
    // What the shop would pay for the goods of the player lying in shop rooms.
    int32_t getShopTotalBuyPrice() const;
    // The item (or its holder) stands on a cell of a shop room.
    bool isInShopRoom(const Item::CItem* item) const;
    // Some participant stands on the actor's screen.
    bool checkAnyActorInSight(const Actor::CActor* actor) const;

    // The player of this floor (the game data's), which carries the items put from containers.
    // Runs at normal animation speed on the floor.
    void setPlayer(const std::shared_ptr<Actor::CActor>& player);
    const std::shared_ptr<Actor::CActor>& getPlayer() const { return player_; }
    SceneLayer::CSceneLayer* getPlayerLayer() const { return playerLayer_.get(); }
    SceneLayer::CSceneLayer* getEventLayer() const { return eventLayer_.get(); }

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
    using Task = std::function<void()>;

    // The states of the floor, all children of the top state.
    State loadingState(const CDungeonEvent& event);
    State mainState(const CDungeonEvent& event);
    State eventState(const CDungeonEvent& event);
    State defeatState(const CDungeonEvent& event);
    State meltdownState(const CDungeonEvent& event);
    State exitState(const CDungeonEvent& event);

    template <typename Record>
    std::shared_ptr<CScriptController> runRoomScript(const std::u16string& script, CRoom* room,
                                                     std::shared_ptr<Record> CRoom::*slot,
                                                     const std::shared_ptr<Record>& record);
    std::shared_ptr<Actor::CActor> arriveActor(const std::shared_ptr<Actor::CActor>& actor,
                                               const std::u16string& folder, MapPoint point);
    void runTasks();
    bool saveCellObjects(Orvex::Serialization::OxSerializer& serializer, CSerializeInfo& info);
    bool loadCellObjects(Orvex::Serialization::OxSerializer& serializer, CSerializeInfo& info);
    bool refuseLoad(const std::string& what, uint32_t at);
    bool setupLoadingScreen();
    bool setupHUD();
    bool loadTitleImage(const std::u16string& path);
    void resetLoadingRecord();
    void resetEventScript();
    void releaseTitleTexture();
    void drawLoading();
    void updateLoading(float elapsed);
    void updateFloor(float elapsed);
    void drawFloor();
    void queueMovie();
    void stepHudAndLog(float elapsed);
    void pauseMusicForSystemSound();
    void addFade(uint32_t kind, float delay, bool toMain);
    void dropFadeCallback();
    float nowSeconds();

    static bool isPlayer(const Actor::CActor* actor);
    static bool holdsType(const CMapCell& cell, int32_t type);
    static CCellObject* firstOfType(const CMapCell& cell, int32_t type);
    // Both orthogonal cells beside `from` towards `to` are inside and of an enterable kind.
    bool isDiagonalOpen(MapPoint from, MapPoint to) const;
    template <typename Visit>
    void forEachCellOfRoom(const CRoom& room, int32_t widen, Visit visit) const;

    IDungeonServices& services_;
    Orvex::Random::IOrvexRandomGenerator& random_;
    std::unique_ptr<CMap> map_ = std::make_unique<CMap>();
    CMapRenderer mapRenderer_{*this};
    CMiniMapRenderer miniMapRenderer_{*this};
    std::shared_ptr<IActionManager> actionManager_;
    CLogManager logManager_;
    std::unique_ptr<Theora::TheoraPlayer> movie_;
    uint32_t movieDrawPriority_ = 0;
    FloorState floorState_;
    std::shared_ptr<CScriptController> eventScript_;
    std::atomic<bool> eventScriptRunning_{false};
    // Removed actors, deferred calls and the scene request may come from the worker.
    std::mutex deferredLock_;
    std::vector<Task> deferredCalls_;
    int32_t requestedScene_ = 0;
    std::shared_ptr<Orvex::Thread::OxThread> worker_;
    std::list<Task> tasks_;
    Orvex::Thread::OxEvent idleEvent_;
    // The loading screen: filled by the worker, shown by the game thread. The script is handed
    // over under the lock and let go of on the game thread only.
    std::mutex loadingLock_;
    float loadingStart_ = 0.0f;
    std::shared_ptr<CScriptController> loadingScript_;
    std::atomic<bool> loadingReady_{false};
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> titleTexture_;
    std::atomic<bool> titleLoaded_{false};
    std::shared_ptr<CScriptController> hudScript_;
    bool hudVisible_ = true;
    std::vector<std::u16string> enemyList_;
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> fontRenderer_;
    std::shared_ptr<IFloorEffect> meltdownAction_;
    bool verifySuspendData_ = true;
    std::string loadError_;
    bool loadStale_ = false;
    float defeatTimer_ = 0.0f;
    bool meltdownMovieMissing_ = false;
    // The fade that ends the loading screen calls back into this floor; a floor that goes
    // first takes its callback off.
    std::shared_ptr<Orvex::Graphics::OxFadeScreenEffect> loadingFade_;
    uint32_t loadingFadeCallback_ = 0;
    Item::CItemFactory* itemFactory_ = nullptr;
    std::shared_ptr<Actor::CActor> player_;
    // Made for the first player of this floor object and kept from floor to floor; the layer
    // stack holds it too while a floor is in play.
    std::shared_ptr<SceneLayer::CSceneLayer> playerLayer_;
    std::shared_ptr<SceneLayer::CSceneLayer> eventLayer_;
    std::vector<std::shared_ptr<Item::CItem>> items_;
    CTurnController turnController_{*this};
    Orvex::System::shared_vector_ptr<Actor::CActor> removedActors_;
    uint32_t screenWidth_ = 800;
    uint32_t screenHeight_ = 600;
};

}  // namespace Fenwarrow::Dungeon
