#pragma once
// One item: on a floor cell, carried by an actor or held inside another item. Its kind's
// "setup.lua" fills the fields when the item factory makes it.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/system/shared_vector_ptr.h"
#include "game/dungeon/CCellObject.h"
#include "game/dungeon/OxPoint.h"
#include "game/dungeon/CDungeonEventListener.h"
#include "game/item/CItemStatus.h"

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::Item {

struct CUnidentifiedItemInfo;

class CItem : public Dungeon::CCellObject, public Dungeon::CDungeonEventListener {
public:
    enum ItemType : int32_t {
        kUnknown = 0,
        kShield = 1,
        kWeapon = 2,
        kTag = 3,
        kCard = 4,
        kHollow = 5,
        kAmulet = 6,
        kMoney = 7,
        kCake = 8,
        kPower = 9,
        kDrug = 10,
        kOther = 11,
        kTrap = 12,
        kNewspaper = 13,
    };
    static constexpr int32_t kItemTypeCount = 14;
    static constexpr int32_t kDrawPriority = 8750000;

    CItem(IGameContext& context, uint32_t itemId);
    ~CItem() override;

    int32_t getCellObjectType() const override { return kItem; }
    // The look is rebuilt from the item's own folder, with the items it holds.
    std::u16string getFolderPath() const override { return itemDirectory_; }
    std::vector<Dungeon::CCellObject*> getDependentObjects() const override;
    // The item's sprite, except while the player hallucinates: then every visible item with a
    // shown sprite is the one common illusion picture, at the item's draw priority.
    void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) override;

    // The type's name (also its icon name); null outside 0..13.
    static const char16_t* getItemTypeName(int32_t type);

    uint32_t getItemID() const { return itemId_; }
    int32_t getItemType() const { return itemType_; }
    void setItemType(int32_t type) { itemType_ = type; }
    CItemStatus& getStatus() { return status_; }
    const CItemStatus& getStatus() const { return status_; }
    std::array<float, kItemTypeCount>& getCategoryWeights() { return categoryWeights_; }
    uint8_t getFlag() const { return flag_; }
    void setFlag(uint8_t flag) { flag_ = flag; }

    const std::u16string& getActionScriptFileName() const { return actionScript_; }
    void setActionScriptFileName(const std::u16string& name) { actionScript_ = name; }
    const std::u16string& getAttachScriptFileName() const { return attachScript_; }
    void setAttachScriptFileName(const std::u16string& name) { attachScript_ = name; }
    const std::u16string& getThrowScriptFileName() const { return throwScript_; }
    void setThrowScriptFileName(const std::u16string& name) { throwScript_ = name; }
    const std::u16string& getPutScriptFileName() const { return putScript_; }
    void setPutScriptFileName(const std::u16string& name) { putScript_ = name; }
    const std::u16string& getPushScriptFileName() const { return pushScript_; }
    void setPushScriptFileName(const std::u16string& name) { pushScript_ = name; }
    const std::u16string& getPopScriptFileName() const { return popScript_; }
    void setPopScriptFileName(const std::u16string& name) { popScript_ = name; }
    const std::u16string& getChangeFloorScriptFileName() const { return changeFloorScript_; }
    void setChangeFloorScriptFileName(const std::u16string& name) { changeFloorScript_ = name; }
    const std::u16string& getAboutText() const { return aboutText_; }
    void setAboutText(const std::u16string& text) { aboutText_ = text; }
    const std::u16string& getItemDirectory() const { return itemDirectory_; }
    void setItemDirectory(const std::u16string& folder) { itemDirectory_ = folder; }

    // (attack and defence bonus + use count) x unit price + price, 1000 more when blessed,
    // halved when cursed.
    int32_t getPrice() const;
    // The price plus the total price of every held item.
    int32_t getTotalPrice() const;
    // Items used when stepped on and floor exits are not listed, except the kinds 1050..1090.
    bool isListedOnFloor() const;

    // A shop's goods carry their sale entry (-1: not a shop item) and the cell they lay on; both
    // live in the status record, which the save writes.
    int32_t getShopEntryID() const { return status_.getShopEntryId(); }
    void setShopEntryID(int32_t id) { status_.setShopEntryId(id); }
    Dungeon::MapPoint getShopCell() const { return {status_.getCellX(), status_.getCellY()}; }
    void setShopCell(Dungeon::MapPoint cell) { status_.setCellPoint(cell.x, cell.y); }

    CItem* getHolder() const { return holder_; }
    Orvex::System::shared_vector_ptr<CItem>& getItemList() { return items_; }
    const Orvex::System::shared_vector_ptr<CItem>& getItemList() const { return items_; }
    void pushItemIntoItemList(const std::shared_ptr<CItem>& item);
    // Takes this item out of its holder; empty when it lies in none.
    std::shared_ptr<CItem> removeFromHolder();

    // The kind's record in the game data; all of these do nothing (or read false or null)
    // without one.
    bool getUnidentified() const;
    void setUnidentified(bool unidentified);
    void identify();
    const std::u16string* getTemporaryName() const;
    void setTemporaryName(const std::u16string& name);

    // The name as menus show it; with `withIcon` the icon and colour mark-up around it.
    std::u16string getDisplayName(bool withIcon) const;

    // Brings an item read from a save back into the ranges the game keeps; true when it already
    // was in them.
    bool validateLoadedItem();
    // A new floor thaws the item and ends its shop sale; held items hear it too.
    void onChangeFloor() override;

    // The live item at that address, or null: scripts hand items back as bare pointers, and only
    // one that still exists may be used.
    static CItem* findLiveItem(const void* pointer);
    // The live item whose category weights start at that address, or null.
    static CItem* findByCategoryWeights(const void* pointer);

private:
    CUnidentifiedItemInfo* findUnidentifiedInfo() const;

    IGameContext& context_;
    uint8_t flag_ = 0;
    int32_t itemType_ = kUnknown;
    uint32_t itemId_;
    CItemStatus status_;
    std::array<float, kItemTypeCount> categoryWeights_{1.0f};
    std::u16string actionScript_;
    std::u16string attachScript_;
    std::u16string throwScript_;
    std::u16string putScript_;
    std::u16string pushScript_;
    std::u16string popScript_;
    std::u16string changeFloorScript_;
    std::u16string aboutText_;
    CItem* holder_ = nullptr;
    Orvex::System::shared_vector_ptr<CItem> items_;
    std::u16string itemDirectory_;
};

}  // namespace Fenwarrow::Item
