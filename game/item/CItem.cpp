#include "game/item/CItem.h"

#include <cstdlib>
#include <mutex>
#include <unordered_set>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/system/OxNeverDestroyed.h"
#include "engine/system/OxWideFormat.h"
#include "game/actor/ConditionType.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/services/IGameContext.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::Item {

namespace {

constexpr const char16_t* kItemTypeNames[CItem::kItemTypeCount] = {
    u"Unknown", u"Shield", u"Weapon", u"Tag",  u"Card",  u"Hollow", u"Amulet",
    u"Money",   u"Cake",   u"Power",  u"Drug", u"Other", u"Trap",   u"Newspaper"};

std::u16string withBonus(const std::u16string& name, int32_t bonus) {
    if (bonus > 0) {
        return Orvex::System::formatWide(u"%s＋%d", name, bonus);
    }
    if (bonus < 0) {
        return Orvex::System::formatWide(u"%s－%d", name, -static_cast<int64_t>(bonus));
    }
    return name;
}

// Every item alive, so that a pointer a script passes back can be told from a stale or foreign
// one. Items are made and dropped on the floor worker and the action loader as well.
struct LiveItems {
    std::mutex lock;
    std::unordered_set<const CItem*> items;
};

LiveItems& liveItems() {
    static Orvex::System::OxNeverDestroyed<LiveItems> live;
    return live.get();
}

// Abilities a loaded item may carry only on one kind.
constexpr uint32_t kThreeWayAbility = 30;
constexpr uint32_t kPierceAbility = 29;
constexpr uint32_t kWeakPointAbility = 35;
constexpr uint32_t kThreeWayItem = 803;
constexpr uint32_t kWeakPointItem = 808;
constexpr std::size_t kMaxHeldItems = 10;
// The common texture every item wears while the player hallucinates.
constexpr int32_t kIllusionTexture = 3;

}  // namespace

CItem::CItem(IGameContext& context, uint32_t itemId) : context_(context), itemId_(itemId) {
    setDrawPriority(kDrawPriority);
    LiveItems& live = liveItems();
    std::lock_guard<std::mutex> guard(live.lock);
    live.items.insert(this);
}

CItem::~CItem() {
    LiveItems& live = liveItems();
    std::lock_guard<std::mutex> guard(live.lock);
    live.items.erase(this);
}

CItem* CItem::findLiveItem(const void* pointer) {
    if (pointer == nullptr) {
        return nullptr;
    }
    LiveItems& live = liveItems();
    std::lock_guard<std::mutex> guard(live.lock);
    auto found = live.items.find(static_cast<const CItem*>(pointer));
    return found != live.items.end() ? const_cast<CItem*>(*found) : nullptr;
}

CItem* CItem::findByCategoryWeights(const void* pointer) {
    if (pointer == nullptr) {
        return nullptr;
    }
    LiveItems& live = liveItems();
    std::lock_guard<std::mutex> guard(live.lock);
    for (const CItem* item : live.items) {
        if (item->categoryWeights_.data() == pointer) {
            return const_cast<CItem*>(item);
        }
    }
    return nullptr;
}

const char16_t* CItem::getItemTypeName(int32_t type) {
    return type >= 0 && type < kItemTypeCount ? kItemTypeNames[type] : nullptr;
}

std::vector<Dungeon::CCellObject*> CItem::getDependentObjects() const {
    std::vector<Dungeon::CCellObject*> held;
    for (const auto& item : items_) {
        if (item != nullptr) {
            held.push_back(item.get());
        }
    }
    return held;
}

void CItem::draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) {
    if (!context_.playerHasCondition(Actor::kConditionTrip)) {
        CCellObject::draw(queue, renderer);
        return;
    }
    // The illusion hides what the item is: the picture stands in for the sprite, but only where
    // the sprite itself would be seen.
    float x = 0.0f;
    float y = 0.0f;
    if (!isVisible() || shownFrame(*getAnimation()) == nullptr || !getDrawPosition(x, y)) {
        return;
    }
    auto picture =
        Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(context_.getCommonTexture(kIllusionTexture));
    if (picture == nullptr) {
        return;
    }
    queue.add(static_cast<uint32_t>(getDrawPriority()), [picture, renderer, x, y] {
        Orvex::Graphics::IOrvexSpriteDraw* sprites = renderer != nullptr ? renderer->getSpriteDraw() : nullptr;
        if (sprites == nullptr) {
            return;
        }
        const Orvex::Graphics::OxRect destination{x, y, x + static_cast<float>(picture->getWidth()),
                                                  y + static_cast<float>(picture->getHeight())};
        sprites->draw(picture.get(), &destination, nullptr);
    });
}

int32_t CItem::getPrice() const {
    const int64_t bonus = static_cast<int64_t>(status_.getAttack()) - status_.getBaseAttack() + status_.getDefense() -
                          status_.getBaseDefense() + status_.getUseCount();
    int64_t price = bonus * status_.getUnitPrice() + status_.getPrice();
    if (status_.getBlessed()) {
        price += 1000;
    }
    if (status_.getCurse()) {
        price /= 2;
    }
    return static_cast<int32_t>(price);
}

int32_t CItem::getTotalPrice() const {
    int32_t total = getPrice();
    for (const auto& held : items_) {
        if (held != nullptr) {
            total += held->getTotalPrice();
        }
    }
    return total;
}

bool CItem::isListedOnFloor() const {
    if (itemId_ >= 1050 && itemId_ <= 1090) {
        return true;
    }
    return !status_.getUseIfTaken() && status_.getAnotherOption() == 0;
}

void CItem::pushItemIntoItemList(const std::shared_ptr<CItem>& item) {
    if (item == nullptr) {
        return;
    }
    items_.push_back(item);
    item->holder_ = this;
}

std::shared_ptr<CItem> CItem::removeFromHolder() {
    if (holder_ == nullptr) {
        return {};
    }
    auto& list = holder_->items_;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list.at(i).get() == this) {
            std::shared_ptr<CItem> removed = list.removeAt(i);
            holder_ = nullptr;
            return removed;
        }
    }
    return {};
}

CUnidentifiedItemInfo* CItem::findUnidentifiedInfo() const { return context_.findUnidentifiedItemInfo(itemId_); }

bool CItem::getUnidentified() const {
    const CUnidentifiedItemInfo* info = findUnidentifiedInfo();
    return info != nullptr && info->unidentified;
}

void CItem::setUnidentified(bool unidentified) {
    if (CUnidentifiedItemInfo* info = findUnidentifiedInfo()) {
        info->unidentified = unidentified;
    }
}

void CItem::identify() { setUnidentified(false); }

const std::u16string* CItem::getTemporaryName() const {
    const CUnidentifiedItemInfo* info = findUnidentifiedInfo();
    return info != nullptr ? &info->temporaryName : nullptr;
}

void CItem::setTemporaryName(const std::u16string& name) {
    if (CUnidentifiedItemInfo* info = findUnidentifiedInfo()) {
        info->temporaryName = name.substr(0, CUnidentifiedItemInfo::kMaxNameLength);
    }
}

std::u16string CItem::getDisplayName(bool withIcon) const {
    bool hidden = false;
    std::u16string text = getName();
    if (const CUnidentifiedItemInfo* info = findUnidentifiedInfo(); info != nullptr && info->unidentified) {
        hidden = true;
        text = info->temporaryName.empty() ? info->name : info->temporaryName;
    } else if ((itemType_ == kWeapon || itemType_ == kShield) && status_.getUnidentified()) {
        hidden = true;
    }

    if (itemType_ == kWeapon && !hidden) {
        text = withBonus(text, status_.getAttack() - status_.getBaseAttack());
    } else if (itemType_ == kShield && !hidden) {
        text = withBonus(text, status_.getDefense() - status_.getBaseDefense());
    } else if (itemType_ == kTag || itemType_ == kHollow) {
        text = Orvex::System::formatWide(u"%s【%d】", text, status_.getUseCount());
    }
    if (!withIcon) {
        return text;
    }

    const char16_t* typeName = getItemTypeName(itemType_);
    std::u16string icon = typeName != nullptr ? typeName : u"";
    if (status_.getFrozen()) {
        icon = u"Other";
        text = u"<1:COLOR>" + text + u"</COLOR>";
    } else if (hidden) {
        text = u"<0:COLOR>" + text + u"</COLOR>";
    } else if (status_.getCurse()) {
        icon = u"Evil";
        text = u"<3:COLOR>" + text + u"</COLOR>";
    }
    return Orvex::System::formatWide(u"<#%s:ICON>%s", icon, text);
}

bool CItem::validateLoadedItem() {
    bool valid = true;
    // Each setter clamps; a value it changes was out of range.
    auto keep = [&valid](auto before, auto after) {
        if (before != after) {
            valid = false;
        }
    };
    const CItemStatus before = status_;
    status_.setUseCount(before.getUseCount());
    status_.setBaseAttack(before.getBaseAttack());
    status_.setAttack(before.getAttack());
    status_.setBaseDefense(before.getBaseDefense());
    status_.setDefense(before.getDefense());
    status_.setSlotCount(before.getSlotCount());
    keep(before.getUseCount(), status_.getUseCount());
    keep(before.getBaseAttack(), status_.getBaseAttack());
    keep(before.getAttack(), status_.getAttack());
    keep(before.getBaseDefense(), status_.getBaseDefense());
    keep(before.getDefense(), status_.getDefense());
    keep(before.getSlotCount(), status_.getSlotCount());

    status_.removeAbility(itemId_ == kThreeWayItem ? kThreeWayAbility : kPierceAbility);
    if (itemId_ != kWeakPointItem) {
        status_.removeAbility(kWeakPointAbility);
    }
    if (itemId_ <= 3) {
        const uint32_t fixed = itemId_ == 0 ? 2 : itemId_ + 2;
        status_.setSlotCount(CItemStatus::kMaxSlotCount);
        for (uint32_t slot = fixed; slot < CItemStatus::kMaxSlotCount; ++slot) {
            status_.setSlotAbility(slot, 0);
        }
        status_.setSlotCount(fixed);
    }
    for (std::size_t category = 8; category <= 11; ++category) {
        categoryWeights_[category] = 0.0f;
    }
    if (items_.size() > kMaxHeldItems) {
        while (items_.size() > kMaxHeldItems) {
            items_.removeAt(items_.size() - 1);
        }
        status_.setUseCount(0);
    } else if (status_.getUseCount() + items_.size() > kMaxHeldItems) {
        status_.setUseCount(static_cast<uint32_t>(kMaxHeldItems - items_.size()));
    }
    return valid;
}

void CItem::onChangeFloor() {
    status_.setFrozen(false);
    status_.setShopEntryId(-1);
    status_.setCellPoint(Dungeon::kInvalidPoint.x, Dungeon::kInvalidPoint.y);
    if (!changeFloorScript_.empty()) {
        context_.runItemChangeFloorScript(*this);
    }
    for (const auto& held : items_) {
        if (held != nullptr) {
            held->onChangeFloor();
        }
    }
}

}  // namespace Fenwarrow::Item
