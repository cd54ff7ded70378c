#pragma once
// A shop room's record: the items it offers, each with the price it was offered at, so that the
// floor can tell what the player owes for goods carried out of the shop and what the shop would
// pay for the player's goods put down in it; and the shop's music.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Dungeon {

class CDungeon;

struct ShopEntry {
    int32_t entryId = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t price = 0;
};
static_assert(sizeof(ShopEntry) == 16);

class CShopInfo {
public:
    static constexpr std::size_t kBgmUnits = 128;

    // The floor's item list is where the shop's goods are looked for; it must outlive the shop.
    explicit CShopInfo(const CDungeon& floor) : floor_(floor) {}
    CShopInfo(const CShopInfo&) = delete;
    CShopInfo& operator=(const CShopInfo&) = delete;
    ~CShopInfo() { clear(); }

    // Offers the item at its cell (its holder's cell inside a container), or refreshes the price
    // of its entry; nothing for an item on no cell.
    void addItem(Item::CItem* item);
    // Takes a shop item off sale; null for an item that is none.
    Item::CItem* removeItem(Item::CItem* item);
    Item::CItem* eraseEntry(int32_t entryId);
    // The floor item (or an item inside one) in a shop room marked with the entry's ID.
    Item::CItem* findEntryItem(std::size_t position) const;
    void setEntryCell(int32_t entryId, int32_t x, int32_t y);
    // What the player owes: the full price of goods gone from the shop rooms, and the price
    // fall of goods still there.
    int32_t getTotalSellPrice() const;
    void clear();
    void setBGMPath(std::u16string_view path);
    std::u16string getBGMPath() const;
    int32_t findEntryIndex(int32_t entryId) const;
    int32_t nextEntryId() const;
    const std::vector<ShopEntry>& getEntries() const { return entries_; }

private:
    const CDungeon& floor_;
    std::vector<ShopEntry> entries_;
    std::array<char16_t, kBgmUnits> bgmPath_{};
};

// A monster-house room's record, saved byte for byte.
class CMonsterHouseInfo {
public:
    std::array<char16_t, 64> houseName{};
    std::array<char16_t, 128> bgmPath{};
};
static_assert(sizeof(CMonsterHouseInfo) == 384);

}  // namespace Fenwarrow::Dungeon
