#pragma once
// A list of items in pages of ten and, for the chosen item, a window of what can be done with
// it: equip or unequip, use, look inside or put into a holder, throw, put down, exchange with
// the item at the feet, pick up, name, describe, close. Every entry that changes the game goes
// through the player's script commands or the floor's action queue, and closes the menu so the
// player's turn goes on.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/menu/CMenuBase.h"

namespace Fenwarrow::Dungeon {
class CDungeon;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::SceneLayer {

class CItemMenu : public CMenuBase {
public:
    using ItemList = std::vector<std::shared_ptr<Item::CItem>>;

    static constexpr std::size_t kItemsPerPage = 10;
    // The stability bit of a sealed mouth.
    static constexpr uint32_t kMouthSealedBits = 32;
    // The holder kind whose use count counts the looks inside it.
    static constexpr uint32_t kPeekLimitedHolderId = 400;
    static constexpr std::size_t kDescriptionLineLength = 22;

    explicit CItemMenu(CGameMenu& owner);

    void update(float elapsedSeconds) override;
    void draw() override;
    // Builds the list and shows its first entry.
    void onOpen() override;
    // Makes the pages from the items.
    virtual void rebuildList();

    void setItems(ItemList items) { items_ = std::move(items); }
    const ItemList& getItems() const { return items_; }
    const std::vector<std::shared_ptr<CGeneralWindow>>& getPages() const { return pages_; }
    int32_t getPageIndex() const { return pageIndex_; }
    bool isActionShown() const { return actionShown_; }
    bool isInfoShown() const { return infoShown_; }
    bool isCompareShown() const { return compareShown_; }
    const std::shared_ptr<CGeneralWindow>& getActionWindow() const { return actionWindow_; }
    const std::shared_ptr<CGeneralWindow>& getInfoWindow() const { return infoWindow_; }
    const std::shared_ptr<CGeneralWindow>& getCompareWindow() const { return compareWindow_; }

    // The comparison text for the item and whether any part of it was filled.
    std::pair<std::u16string, bool> buildCompareText(const Item::CItem& item) const;
    // The description text, wrapped.
    static std::u16string buildDescription(const Item::CItem& item);
    // The list text of an item, with the equipped and blessed marks.
    std::u16string buildEntryText(const Item::CItem& item) const;

protected:
    // Pages of the items titled with the caption (or the page number), and with withFeet one
    // more page of the item lying at the player's feet.
    void buildPages(const std::u16string& caption, bool withFeet);
    // Fills the action window for the chosen item.
    virtual void fillActions(const std::shared_ptr<Item::CItem>& item);

    void addAction(const std::u16string& label, std::function<void()> handler);
    void addEquipEntries(const std::shared_ptr<Item::CItem>& item);
    void addItemActions(const std::shared_ptr<Item::CItem>& item);
    // "名前" for an unidentified kind, else "説明"; then "閉じる".
    void addClosingEntries(const std::shared_ptr<Item::CItem>& item);

    Dungeon::CDungeon* getFloor() const;
    // The first floor item on the player's cell, or empty.
    std::shared_ptr<Item::CItem> getFeetItem() const;
    bool isEquipped(const Item::CItem& item) const;
    bool isMouthSealed() const;
    // Hides the action and comparison windows.
    void hideActionWindow();
    // Hides the action window and leaves this screen.
    void finish();
    // Ends the player's turn.
    void endPlayerTurn();

    ItemList items_;

private:
    void onItemChosen(const std::shared_ptr<Item::CItem>& item);
    void showDescription(const Item::CItem& item);
    void useItem(const std::shared_ptr<Item::CItem>& item);
    void dropItem(const std::shared_ptr<Item::CItem>& item, const char* command);
    void pickUp(const std::shared_ptr<Item::CItem>& item);
    void unequip(const std::shared_ptr<Item::CItem>& item);
    void equip(const std::shared_ptr<Item::CItem>& item);
    void exchange(const std::shared_ptr<Item::CItem>& item);
    void rename(const std::shared_ptr<Item::CItem>& item);
    void openTargetList(const std::shared_ptr<Item::CItem>& item, int32_t kind);
    // The player's script performs it with the item.
    void callPlayerCommand(const char* command, const std::vector<void*>& arguments);
    void pushTimerAction();
    std::shared_ptr<CGeneralWindow> currentPage() const;

    std::vector<std::shared_ptr<CGeneralWindow>> pages_;
    int32_t pageIndex_ = 0;
    bool actionShown_ = false;
    std::shared_ptr<CGeneralWindow> actionWindow_;
    bool infoShown_ = false;
    std::shared_ptr<CGeneralWindow> infoWindow_;
    bool compareShown_ = false;
    std::shared_ptr<CGeneralWindow> compareWindow_;
};

}  // namespace Fenwarrow::SceneLayer
