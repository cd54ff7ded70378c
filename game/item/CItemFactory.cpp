#include "game/item/CItemFactory.h"

#include "engine/system/OxStringConvert.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow::Item {

namespace {

constexpr const char16_t* kSlotAbilityNames[CItemFactory::kSlotAbilityCount] = {
    u"能力無し", u"地図", u"抗体",     u"沈静",     u"不眠",     u"護",       u"祝",     u"福",
    u"厄",       u"遠投", u"怪力",     u"八卦",     u"鑑定",     u"節約",     u"身代",   u"幸福",
    u"小食",     u"大食", u"奇跡",     u"焼却",     u"萃",       u"地雷名張", u"暴食",   u"劣化耐性",
    u"盗難耐性", u"重石", u"魔法反射", u"回避",     u"打撃反射", u"貫通",     u"三方向", u"治癒",
    u"一撃死",   u"必中", u"掘削",     u"弱点取得", u"厄除",     u"海鼠",     u"脱腸",   u"威光",
    u"破壊",     u"賽銭", u"吸血耐性", u"日光浴",   u"隙魔",     u"審判",     u"無効",   u"宣告",
    u"至福",     u"苦難", u"弱化",     u"不発",     u"老化",     u"空振",     u"目潰",   u"記録"};

}  // namespace

CItemFactory::CItemFactory(IGameContext& context) : context_(context) {}

CItemFactory::~CItemFactory() = default;

const char16_t* CItemFactory::getSlotAbilityName(int32_t index) {
    return index >= 0 && index < kSlotAbilityCount ? kSlotAbilityNames[index] : nullptr;
}

bool CItemFactory::initialize() {
    CScriptController script(context_);
    if (!script.loadScript(kSetupScript, kSetupMemory)) {
        return false;
    }
    // The set-up script registers kinds through the native global only; a module the game
    // cannot provide is no reason to refuse the item list.
    for (ScriptModule module : {ScriptModule::kGame, ScriptModule::kItem}) {
        if (auto command = context_.createScriptModule(module)) {
            script.attachCommand(std::move(command));
        }
    }
    // The factory rides along as the function's upvalue, so that a call can tell the object
    // handed to "setup" from anything else a script passes.
    lua_State* L = script.getLuaState();
    lua_pushlightuserdata(L, this);
    lua_pushcclosure(L, &CItemFactory::luaAddItemInfo, 1);
    lua_setglobal(L, "addItemInfo");
    if (!script.runMain()) {
        return false;
    }
    std::vector<CScriptValue> results;
    script.callFunctionWithArg(results, "setup", 0, CScriptValue(static_cast<void*>(this)));
    script.close();
    return true;
}

int CItemFactory::luaAddItemInfo(lua_State* L) {
    auto* factory = static_cast<CItemFactory*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (factory == nullptr || !lua_islightuserdata(L, 1) || lua_touserdata(L, 1) != factory) {
        return 0;  // not the object this factory handed out
    }
    const auto itemId = static_cast<uint32_t>(lua_tointeger(L, 2));
    const char* folder = lua_tostring(L, 3);
    std::u16string wide;
    Orvex::System::toWideString(folder != nullptr ? folder : "", wide);
    factory->addItemInfo(itemId, wide);
    return 0;
}

void CItemFactory::addItemInfo(uint32_t itemId, const std::u16string& folder) {
    if (infos_.find(itemId) != nullptr) {
        Orvex::System::debugOutput(u"IDが重複しています。");
    }
    infos_.insertOrAssign(itemId, UInfo{folder});
}

std::shared_ptr<CItem> CItemFactory::createItem(uint32_t itemId) {
    const UInfo* info = infos_.find(itemId);
    if (info == nullptr) {
        return {};
    }
    auto item = std::make_shared<CItem>(context_, itemId);
    if (!setupItem(*item, info->folder)) {
        return {};
    }
    return item;
}

const Orvex::IO::StreamIO::ByteVector* CItemFactory::setupChunk(const std::u16string& folder) {
    {
        std::lock_guard<std::mutex> lock(chunkLock_);
        if (const auto found = setupChunks_.find(folder); found != setupChunks_.end()) {
            return &found->second;
        }
    }
    Orvex::IO::StreamIO::ByteVector bytes;
    if (!CScriptController::readScript(context_, folder + u"setup.lua", bytes)) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(chunkLock_);
    // Another thread may have stored the same bytes meanwhile; either copy serves.
    return &setupChunks_.try_emplace(folder, std::move(bytes)).first->second;
}

bool CItemFactory::setupItem(CItem& item, const std::u16string& folder) {
    // Every item of a kind runs the same chunk: it is read from the archives once.
    const Orvex::IO::StreamIO::ByteVector* chunk = setupChunk(folder);
    CScriptController script(context_);
    if (chunk == nullptr || !script.loadScriptBytes(folder + u"setup.lua", *chunk, kItemSetupMemory) ||
        !attachScriptModules(script, context_,
                             {ScriptModule::kItem, ScriptModule::kGame, ScriptModule::kMossbellLib,
                              ScriptModule::kDamageCalculate, ScriptModule::kActor}) ||
        !script.runMain()) {
        return false;
    }
    // The set-up builds the item's look through the sprite module, which takes only sprites lent
    // to its state.
    ScriptArguments::lendObject(script.getLuaState(), item.getAnimation().get());
    std::vector<CScriptValue> results;
    script.callFunctionWithArg(results, "initialize", 0, CScriptValue(static_cast<void*>(&item)));
    script.close();
    return true;
}

std::vector<uint32_t> CItemFactory::getItemIDList() const {
    std::vector<uint32_t> ids;
    ids.reserve(static_cast<std::size_t>(infos_.count()));
    for (const auto& entry : infos_) {
        ids.push_back(entry.key);
    }
    return ids;
}

}  // namespace Fenwarrow::Item
