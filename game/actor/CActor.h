#pragma once
// Everything that stands on a cell and takes turns: the player, enemies and non-players. Its
// behaviour lives in its folder's "setup.lua" (run once while it is set up) and "actor.lua"
// (kept loaded for the actor's life).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/animation/OxMADObject.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/actor/CActorStatus.h"
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
}  // namespace Fenwarrow

namespace Fenwarrow::Actor {

class CActor : public Dungeon::CCellObject, public Dungeon::CTurn, public Dungeon::CDungeonEventListener {
public:
    enum ActorType : int32_t { kPlayer = 1, kNonPlayer = 2, kEnemy = 3 };
    // The three sprites beside the body: an effect drawn over the actors, and the weapon and
    // shield that follow the body's motions.
    enum ExtraSprite : std::size_t { kEffectSprite = 0, kWeaponSprite = 1, kShieldSprite = 2 };
    static constexpr int32_t kDrawPriority = 8500000;
    static constexpr uint32_t kSetupMemory = 0x20000;
    static constexpr uint32_t kScriptMemory = 0x40000;
    static constexpr uint32_t kScriptTaskMemory = 0x80000;

    explicit CActor(IGameContext& context);
    ~CActor() override;

    int32_t getCellObjectType() const override { return kActor; }
    // Loads the folder's two scripts; false on any failure (the actor is then not used).
    virtual bool setup(const std::u16string& folder);
    virtual int32_t getActorType() const = 0;

    int32_t getActionsPerRound() override { return status_.getTurnCount(); }
    // The script's "Actor.onTurn"; the script ends the turn itself.
    void onTurn(Dungeon::IActionManager& actions) override;
    void onChangeFloor() override;

    bool isSetup() const { return setUp_; }
    const std::u16string& getActorDirectory() const { return folder_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }
    bool getEnableScriptTask() const { return scriptTaskEnabled_; }
    void setEnableScriptTask(bool enabled) { scriptTaskEnabled_ = enabled; }
    int32_t getActorID() const { return actorId_; }
    void setActorID(int32_t id) { actorId_ = id; }
    CActorStatus& getStatus() { return status_; }
    const CActorStatus& getStatus() const { return status_; }
    Dungeon::CDungeonEventHolder& getEventHolder() { return eventHolder_; }
    const std::shared_ptr<Orvex::MossbellLib::OxMADObject>& getExtraSprite(ExtraSprite which) const {
        return sprites_[which];
    }
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

    bool isAlive() const { return status_.getLife() >= 1.0f; }
    bool validateStatus() {
        status_.validate();
        return true;
    }

protected:
    IGameContext& getContext() const { return context_; }

private:
    bool runSetupScript(const std::u16string& folder);

    IGameContext& context_;
    bool setUp_ = false;
    std::u16string folder_;
    std::shared_ptr<CScriptController> script_;
    bool scriptTaskEnabled_ = false;
    int32_t actorId_ = -1;
    float drawOffsetX_ = 0.0f;
    float drawOffsetY_ = 0.0f;
    CActorStatus status_;
    Dungeon::CDungeonEventHolder eventHolder_;
    Orvex::System::shared_vector_ptr<Item::CItem> items_;
    std::array<std::shared_ptr<Orvex::MossbellLib::OxMADObject>, 3> sprites_;
};

}  // namespace Fenwarrow::Actor
