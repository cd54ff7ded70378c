#include "game/dungeon/CShopInfo.h"

#include <algorithm>

#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Dungeon {

namespace {

bool isShopItem(const Item::CItem& item) { return item.getShopEntryID() != -1; }

void unmark(Item::CItem& item) {
    item.setShopCell(kInvalidPoint);
    item.setShopEntryID(-1);
}

}  // namespace

int32_t CShopInfo::nextEntryId() const {
    int32_t highest = -1;
    for (const ShopEntry& entry : entries_) {
        highest = std::max(highest, entry.entryId);
    }
    return highest + 1;
}

int32_t CShopInfo::findEntryIndex(int32_t entryId) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].entryId == entryId) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

Item::CItem* CShopInfo::findEntryItem(std::size_t position) const {
    if (position >= entries_.size()) {
        return nullptr;
    }
    const int32_t id = entries_[position].entryId;
    for (const auto& item : floor_.getItems()) {
        if (!floor_.isInShopRoom(item.get())) {
            continue;
        }
        if (item->getShopEntryID() == id) {
            return item.get();
        }
        for (const auto& inner : item->getItemList()) {
            if (inner != nullptr && inner->getShopEntryID() == id) {
                return inner.get();
            }
        }
    }
    return nullptr;
}

void CShopInfo::addItem(Item::CItem* item) {
    if (item == nullptr) {
        return;
    }
    const CMapCell* cell = item->getHolder() != nullptr ? item->getHolder()->getCell() : item->getCell();
    if (cell == nullptr) {
        return;
    }
    const int32_t index = isShopItem(*item) ? findEntryIndex(item->getShopEntryID()) : -1;
    if (index >= 0) {
        entries_[static_cast<std::size_t>(index)].price = item->getPrice();
        return;
    }
    const ShopEntry entry{nextEntryId(), cell->x, cell->y, item->getPrice()};
    entries_.push_back(entry);
    item->setShopEntryID(entry.entryId);
    item->setShopCell(cell->getPoint());
}

Item::CItem* CShopInfo::removeItem(Item::CItem* item) {
    if (item == nullptr || !isShopItem(*item)) {
        return nullptr;
    }
    Item::CItem* erased = eraseEntry(item->getShopEntryID());
    unmark(*item);
    return erased;
}

Item::CItem* CShopInfo::eraseEntry(int32_t entryId) {
    const int32_t index = findEntryIndex(entryId);
    if (index < 0) {
        return nullptr;
    }
    Item::CItem* item = findEntryItem(static_cast<std::size_t>(index));
    if (item != nullptr) {
        unmark(*item);
    }
    entries_.erase(entries_.begin() + index);
    return item;
}

void CShopInfo::setEntryCell(int32_t entryId, int32_t x, int32_t y) {
    for (ShopEntry& entry : entries_) {
        if (entry.entryId == entryId) {
            entry.x = x;
            entry.y = y;
        }
    }
}

int32_t CShopInfo::getTotalSellPrice() const {
    int64_t total = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Item::CItem* item = findEntryItem(i);
        if (item == nullptr) {
            total += entries_[i].price;
        } else if (entries_[i].price > item->getPrice()) {
            total += entries_[i].price - item->getPrice();
        }
    }
    return static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

void CShopInfo::clear() {
    entries_.clear();
    bgmPath_.fill(u'\0');
}

void CShopInfo::setBGMPath(std::u16string_view path) {
    const std::size_t units = std::min(path.size(), bgmPath_.size() - 1);
    bgmPath_.fill(u'\0');
    std::copy_n(path.begin(), units, bgmPath_.begin());
}

std::u16string CShopInfo::getBGMPath() const {
    return std::u16string(bgmPath_.begin(), std::find(bgmPath_.begin(), bgmPath_.end(), u'\0'));
}

}  // namespace Fenwarrow::Dungeon
