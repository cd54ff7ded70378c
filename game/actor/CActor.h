#pragma once
// Everything that stands on a cell and takes turns: the player, enemies and non-players. Its
// behaviour lives in its folder's "setup.lua" (run once while it is set up) and "actor.lua"
// (kept loaded for the actor's life); native code forwards every turn, frame, draw and floor
// event to that script and to the items it carries.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/animation/OxMADObject.h"
#include "engine/script/CScriptValue.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/actor/CActorStatus.h"
#include "game/actor/IActorConditions.h"
#include "game/dungeon/CCellObject.h"
#include "game/dungeon/CDungeonEventHolder.h"
#include "game/dungeon/CDungeonEventListener.h"
#include "game/dungeon/CTurn.h"

namespace Fenwarrow {
class CScriptController;
class IGameContext;
namespace Item {
class CItem;
}
namespace Action {
class IActionContext;
}
namespace Damage {
class CDamageCalculator;
}
}  // namespace Fenwarrow

namespace Fenwarrow::Actor {

class IPlayerEquipment;

class CActor : public Dungeon::CCellObject, public Dungeon::CTurn, public Dungeon::CDungeonEventListener {
public:
    enum ActorType : int32_t { kPlayer = 1, kNonPlayer = 2, kEnemy = 3 };
    // The three sprites beside the body: an effect (condition looks) drawn over the actors, and
    // the weapon and shield that follow the body's motions.
    enum ExtraSprite : std::size_t { kEffectSprite = 0, kWeaponSprite = 1, kShieldSprite = 2 };
    static constexpr int32_t kDrawPriority = 8500000;
    // The effect sprite is drawn over every actor.
    static constexpr uint32_t kEffectDrawPriority = 8250000;
    static constexpr uint32_t kSetupMemory = 0x20000;
    static constexpr uint32_t kScriptMemory = 0x40000;
    static constexpr uint32_t kScriptTaskMemory = 0x80000;
    static constexpr uint32_t kAttachScriptMemory = 0x20000;
    // The body is drawn this far left of and above its cell's draw position.
    static constexpr float kBodyAnchorX = 16.0f;
    static constexpr float kBodyAnchorY = 40.0f;
    // The recorded motion name keeps at most this many UTF-16 units (the saved record's size).
    static constexpr std::size_t kMotionNameLength = 63;

    explicit CActor(IGameContext& context);
    ~CActor() override;

    // The actor at that address while it lives; null for anything else. Scripts hand pointers
    // back untyped, so a module takes one as an actor only when this finds it.
    static CActor* findLiveActor(const void* pointer);

    // Cell-object part.
    int32_t getCellObjectType() const override { return kActor; }
    // One frame: the body's animation, the draw position from the cell, the script's
    // "onUpdate" (with the script task enabled) and the extra sprites.
    void update(float elapsedSeconds) override;
    // Queues the body and the equipment sprites at the actor's draw priority, the effect
    // sprite over the actors, then calls the script's "onDraw"; nothing while not shown.
    void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) override;
    // The name the player reads: "？？？" for every other actor while the player is blind and
    // for an actor in stealth; a fixed illusion name for every other actor while the player
    // hallucinates, and a fixed decoy name for a decoy (tested in that order).
    const std::u16string& getName() const override;
    // The name as set, never disguised (what is kept and saved).
    const std::u16string& getOriginalName() const { return CCellObject::getName(); }
    // The look is rebuilt from the actor's own folder, and the items it carries with it.
    std::u16string getFolderPath() const override { return folder_; }
    std::vector<Dungeon::CCellObject*> getDependentObjects() const override;
    // Loads the folder's two scripts; false on any failure (the actor is then not used).
    virtual bool setup(const std::u16string& folder);
    virtual int32_t getActorType() const = 0;
    // The actor's icon on the mini-map: the index of its 10 x 10 square in the icon strip (the
    // player 1, enemies 2, everyone else 3).
    virtual int32_t getMiniMapIcon() const { return getActorType() == kPlayer ? 1 : getActorType() == kEnemy ? 2 : 3; }

    // Turn part. The script ends the turn itself ("Actor.endTurn").
    int32_t getActionsPerRound() override { return status_.getTurnCount(); }
    void onTurn(Dungeon::IActionManager& actions) override;
    void onEnterTurn(Dungeon::IActionManager& actions) override;
    void onExitTurn(Dungeon::IActionManager& actions) override;

    // Listener part: a new floor forgets the stability states and shows the actor again.
    void onChangeFloor() override;

    // The actor's status conditions, made with it and heard right after its own listener part;
    // null only in a context that makes none.
    IActorConditions* getConditions() const { return conditions_.get(); }
    // Whether the condition of that type is on; false for a number that names none.
    bool hasCondition(int32_t type) const { return conditions_ != nullptr && conditions_->isCondition(type); }

    // The script's "onTaskDraw", with the script task enabled; the floor's draw pass calls it.
    void onTaskDraw();
    // The six floor events go to every listener of the actor first (its items hear them), then
    // to "Actor.Event.<name>"; any other name only reaches the script.
    void callEvent(const std::string& name);
    // "Actor.Command.<name>"(count, arguments...).
    void callCommand(const std::string& name, const std::vector<void*>& arguments);
    // "Actor.Validation.<name>"(count, arguments...) as a boolean.
    bool doValidation(const std::string& name, const std::vector<void*>& arguments);
    // Queues the action-event script, with this actor as its parameter, as a scripted action
    // on the floor's action queue; false when the actor names no such script or no floor runs.
    bool talk(Action::IActionContext& context);

    // Selects a motion of the body (and of the equipment sprites that hold one): the name, or
    // "<name>_<direction>" with the direction. With keepIfPlaying a motion already playing
    // goes on. A body without that motion stops. Nothing while the motion lock is set.
    void playMotion(const std::u16string& name, bool keepIfPlaying, bool withDirection, bool loop);
    const std::u16string& getMotionName() const { return motionName_; }
    bool getMotionKeepIfPlaying() const { return motionKeep_; }
    bool getMotionWithDirection() const { return motionWithDirection_; }
    bool getMotionLoop() const { return motionLoop_; }
    int32_t getMotionLock() const { return motionLock_; }
    void setMotionLock(int32_t lock) { motionLock_ = lock; }

    bool isSetup() const { return setUp_; }
    const std::u16string& getActorDirectory() const { return folder_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }
    bool getEnableScriptTask() const { return scriptTaskEnabled_; }
    void setEnableScriptTask(bool enabled) { scriptTaskEnabled_ = enabled; }
    // True once "onEnterTurn" reached the script this turn; false when the turn was taken away.
    bool getInTurn() const { return inTurn_; }
    int32_t getActorID() const { return actorId_; }
    void setActorID(int32_t id) { actorId_ = id; }
    const std::u16string& getActionEventScriptFileName() const { return actionEventScript_; }
    void setActionEventScriptFileName(const std::u16string& name) { actionEventScript_ = name; }
    CActorStatus& getStatus() { return status_; }
    const CActorStatus& getStatus() const { return status_; }
    Dungeon::CDungeonEventHolder& getEventHolder() { return eventHolder_; }
    const std::shared_ptr<Orvex::MossbellLib::OxMADObject>& getExtraSprite(ExtraSprite which) const {
        return sprites_[which];
    }
    // Where the body is drawn (pixels), recomputed each frame from the cell and the offset.
    float getDrawPositionX() const { return drawX_; }
    float getDrawPositionY() const { return drawY_; }
    float getDrawOffsetX() const { return drawOffsetX_; }
    float getDrawOffsetY() const { return drawOffsetY_; }
    void setDrawOffset(float x, float y) {
        drawOffsetX_ = x;
        drawOffsetY_ = y;
    }

    // The carried items, in inventory order; each is also a listener of the actor's events.
    Orvex::System::shared_vector_ptr<Item::CItem>& getItemList() { return items_; }
    const Orvex::System::shared_vector_ptr<Item::CItem>& getItemList() const { return items_; }
    void addItem(const std::shared_ptr<Item::CItem>& item);
    // False when the index is past the end.
    bool insertItem(const std::shared_ptr<Item::CItem>& item, std::size_t index);
    // Empty when the item is not carried.
    std::shared_ptr<Item::CItem> removeItem(const Item::CItem* item);
    // The item's index in the list; -1 when it is not carried.
    int32_t findItem(const Item::CItem* item) const;

    // The damage rules' calculator for this actor, made by them on first use (the actor only
    // keeps it).
    const std::shared_ptr<Damage::CDamageCalculator>& getDamageCalculatorSlot() const { return damageCalculator_; }
    void setDamageCalculatorSlot(std::shared_ptr<Damage::CDamageCalculator> calculator) {
        damageCalculator_ = std::move(calculator);
    }

    bool isAlive() const { return status_.getLife() >= 1.0f; }
    bool validateStatus() {
        status_.validate();
        return true;
    }

    // Equipment: the player's only, kept by the keeper of the player's belongings (the game
    // data manager). Every other actor, or a player without a keeper, gets -1 or nothing.
    void setEquipmentKeeper(IPlayerEquipment* keeper) { equipment_ = keeper; }
    // The item's index in the player's list; -1 for null, the wrong category or not carried.
    int32_t setEquippedWeaponItem(const Item::CItem* item);
    int32_t setEquippedShieldItem(const Item::CItem* item);
    int32_t setEquippedAmuletItem(const Item::CItem* item);
    void setEquippedWeaponIndex(int32_t index);
    void setEquippedShieldIndex(int32_t index);
    void setEquippedAmuletIndex(int32_t index);
    std::shared_ptr<Item::CItem> getEquippedWeaponItem() const;
    std::shared_ptr<Item::CItem> getEquippedShieldItem() const;
    std::shared_ptr<Item::CItem> getEquippedAmuletItem() const;
    int32_t getEquippedWeaponIndex() const;
    int32_t getEquippedShieldIndex() const;
    int32_t getEquippedAmuletIndex() const;
    // Unequips the item; with resetSprite also clears the weapon or shield sprite it dressed.
    void detachEquippedItem(const Item::CItem* item, bool resetSprite);
    // Equips the item in its category's slot; with runScript its attach script runs in a state
    // of its own. False when nothing was equipped or the script could not run.
    bool attachItem(Item::CItem* item, bool runScript);

    IGameContext& getContext() const { return context_; }

protected:
private:
    bool runSetupScript(const std::u16string& folder);
    bool runAttachScript(Item::CItem& item);
    IPlayerEquipment* getEquipment() const;
    void callHook(const char* hook, const std::vector<Orvex::Script::CScriptValue>& arguments);

    IGameContext& context_;
    bool setUp_ = false;
    std::u16string folder_;
    std::shared_ptr<CScriptController> script_;
    bool scriptTaskEnabled_ = false;
    bool inTurn_ = true;
    int32_t actorId_ = -1;
    float drawX_ = 0.0f;
    float drawY_ = 0.0f;
    float drawOffsetX_ = 0.0f;
    float drawOffsetY_ = 0.0f;
    CActorStatus status_;
    Dungeon::CDungeonEventHolder eventHolder_;
    Orvex::System::shared_vector_ptr<Item::CItem> items_;
    std::array<std::shared_ptr<Orvex::MossbellLib::OxMADObject>, 3> sprites_;
    std::u16string motionName_;
    bool motionKeep_ = false;
    bool motionWithDirection_ = false;
    bool motionLoop_ = false;
    int32_t motionLock_ = 0;
    std::u16string actionEventScript_;
    IPlayerEquipment* equipment_ = nullptr;
    std::shared_ptr<Damage::CDamageCalculator> damageCalculator_;
    // Last, so the conditions go first: they hold the actor and may touch its sprites.
    std::unique_ptr<IActorConditions> conditions_;
};

}  // namespace Fenwarrow::Actor
