// Shops and monster houses: records that floor scripts hang on rooms.
#include <algorithm>

#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CShopInfo.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr uint32_t kRoomScriptMemory = 0x20000;

std::u16string textOf(CScriptController& script, const char* name) {
    CScriptValue value;
    script.callForValue(value, name);
    return value.getType() == CScriptValue::kString ? value.toWString() : std::u16string();
}

template <std::size_t N>
void setText(std::array<char16_t, N>& field, const std::u16string& text) {
    field.fill(u'\0');
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}

}  // namespace

// Loads the script, attaches its modules, hangs the record on the room and runs the main
// chunk; null (and the room untouched) when loading or attaching fails.
template <typename Record>
std::shared_ptr<CScriptController> CDungeon::runRoomScript(const std::u16string& script, CRoom* room,
                                                           std::shared_ptr<Record> CRoom::*slot,
                                                           const std::shared_ptr<Record>& record) {
    IGameContext& context = services_.getGameContext();
    auto controller = std::make_shared<CScriptController>(context);
    if (room == nullptr || !controller->loadScript(script, kRoomScriptMemory) ||
        !attachScriptModules(*controller, context,
                             {ScriptModule::kGame, ScriptModule::kMap, ScriptModule::kDungeon, ScriptModule::kItem,
                              ScriptModule::kActor})) {
        return nullptr;
    }
    room->*slot = record;
    controller->runMain();
    return controller;
}

namespace {

bool callSetup(CScriptController& script, CRoom* room) {
    std::vector<CScriptValue> results;
    script.callFunctionWithArg(results, "setup", 1, CScriptValue(static_cast<void*>(room)));
    return !results.empty() && results.front().getType() == CScriptValue::kInteger && results.front().asInteger() != 0;
}

}  // namespace

bool CDungeon::createShop(const std::u16string& script, CRoom* room) {
    auto shop = std::make_shared<CShopInfo>(*this);
    const auto controller = runRoomScript(script, room, &CRoom::shop, shop);
    if (controller == nullptr) {
        return false;
    }
    shop->setBGMPath(textOf(*controller, "getBGMFilePath"));
    return callSetup(*controller, room);
}

bool CDungeon::createMonsterHouse(const std::u16string& script, CRoom* room) {
    auto house = std::make_shared<CMonsterHouseInfo>();
    const auto controller = runRoomScript(script, room, &CRoom::monsterHouse, house);
    if (controller == nullptr) {
        return false;
    }
    setText(house->houseName, textOf(*controller, "getHouseName"));
    setText(house->bgmPath, textOf(*controller, "getBGMFilePath"));
    return callSetup(*controller, room);
}

CShopInfo* CDungeon::getCurrentShopInfo() const {
    for (int32_t i = 0; i < map_->getRoomCount(); ++i) {
        if (const CRoom* room = map_->getRoom(i); room->shop != nullptr) {
            return room->shop.get();
        }
    }
    return nullptr;
}

bool CDungeon::isInShopRoom(const Item::CItem* item) const {
    const CCellObject* standing = item != nullptr && item->getHolder() != nullptr ? item->getHolder() : item;
    const CMapCell* cell = standing != nullptr ? standing->getCell() : nullptr;
    return cell != nullptr && cell->room != nullptr && cell->room->shop != nullptr;
}

int32_t CDungeon::getShopTotalBuyPrice() const {
    int64_t total = 0;
    for (const auto& item : items_) {
        if (!isInShopRoom(item.get())) {
            continue;
        }
        if (item->getShopEntryID() == -1) {
            total += item->getPrice();
        }
        for (const auto& inner : item->getItemList()) {
            if (inner != nullptr && inner->getShopEntryID() == -1) {
                total += inner->getPrice();
            }
        }
    }
    return static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

}  // namespace Fenwarrow::Dungeon
