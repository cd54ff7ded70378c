#include "game/item/CItem.h"

#include <cstdlib>

#include "engine/system/OxWideFormat.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/services/IGameContext.h"

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

}  // namespace

CItem::CItem(IGameContext& context, uint32_t itemId) : context_(context), itemId_(itemId) {
    setDrawPriority(kDrawPriority);
}

CItem::~CItem() = default;

const char16_t* CItem::getItemTypeName(int32_t type) {
    return type >= 0 && type < kItemTypeCount ? kItemTypeNames[type] : nullptr;
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

}  // namespace Fenwarrow::Item
