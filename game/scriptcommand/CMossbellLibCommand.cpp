#include "game/scriptcommand/CMossbellLibCommand.h"

#include <cstdint>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Object = CMossbellLibCommand::Object;
using Orvex::MossbellLib::OxAnimationData;
using Orvex::MossbellLib::OxChipData;
using ScriptArguments::flagArg;
using ScriptArguments::floatArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

// More chips than any texture of the game holds; a larger cut is a script slip that would
// otherwise allocate without bound.
constexpr uint64_t kMostChipsPerTexture = uint64_t{1} << 16;

CMossbellLibCommand& module(lua_State* L) {
    CMossbellLibCommand* found = CMossbellLibCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "MossbellLib: no module object is attached to this state");
    }
    return *found;
}

// The animation object at `index`: one this module made, or one the host lent to the script;
// null for anything else.
Object* objectArg(lua_State* L, int index) {
    CMossbellLibCommand& self = module(L);
    const void* given = lua_touserdata(L, index);
    if (given == nullptr) {
        return nullptr;
    }
    const auto* object = static_cast<const Object*>(given);  // only compared until accepted
    if (!self.ownsObject(object) && !ScriptArguments::isLentObject(L, given)) {
        return nullptr;
    }
    return const_cast<Object*>(object);
}

int pushCount(lua_State* L, std::size_t count) {
    lua_pushnumber(L, static_cast<lua_Number>(count));
    return 1;
}

int pushFlag(lua_State* L, bool flag) {
    lua_pushboolean(L, flag ? 1 : 0);
    return 1;
}

// The setters' index rule: a negative index reaches every element of the list, another index
// the one element (nothing past the end).
template <typename List, typename Fn>
void applyAt(const List& list, int32_t index, Fn&& fn) {
    if (index < 0) {
        for (const auto& element : list) {
            if (element) {
                fn(*element);
            }
        }
        return;
    }
    if (const auto element = list.at(static_cast<std::size_t>(index))) {
        fn(*element);
    }
}

template <typename Fn>
int withFrames(lua_State* L, Fn&& fn) {
    if (Object* object = objectArg(L, 1)) {
        applyAt(object->getAnimationDataList(), intArg(L, 2), fn);
    }
    return 0;
}

int luaNewObject(lua_State* L) {
    Object* object = module(L).newObject();
    ScriptArguments::lendObject(L, object);
    lua_pushlightuserdata(L, object);
    return 1;
}

int luaDeleteObject(lua_State* L) {
    CMossbellLibCommand& self = module(L);
    const void* given = lua_touserdata(L, 1);
    if (self.deleteObject(static_cast<const Object*>(given))) {
        ScriptArguments::withdrawObject(L, given);
    }
    return 0;
}

int update(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        object->update(floatArg(L, 2));
    }
    return 0;
}

int draw(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        const auto x = static_cast<float>(static_cast<int32_t>(floatArg(L, 2) + 0.5f));
        const auto y = static_cast<float>(static_cast<int32_t>(floatArg(L, 3) + 0.5f));
        object->draw(module(L).getRenderer(), x, y);
    }
    return 0;
}

template <void (Object::*Operation)()>
int playback(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        (object->*Operation)();
    }
    return 0;
}

int isStop(lua_State* L) {
    const Object* object = objectArg(L, 1);
    return object != nullptr ? pushFlag(L, object->isStop()) : 0;
}

int setFPS(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        object->setFPS(static_cast<float>(intArg(L, 2)));
    }
    return 0;
}

int getCurrentTime(lua_State* L) {
    const Object* object = objectArg(L, 1);
    if (object == nullptr) {
        return 0;
    }
    lua_pushnumber(L, object->getCurrentTime());
    return 1;
}

int setLoopPlay(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        object->setLoopPlay(flagArg(L, 2));
    }
    return 0;
}

int luaAddTexture(lua_State* L) {
    Object* object = objectArg(L, 1);
    if (object == nullptr) {
        return 0;
    }
    const int32_t index = module(L).addTexture(*object, wideArg(L, 2));
    return index >= 0 ? pushCount(L, static_cast<std::size_t>(index)) : 0;
}

int getTextureCount(lua_State* L) {
    const Object* object = objectArg(L, 1);
    return object != nullptr ? pushCount(L, object->getTextureCount()) : 0;
}

int create(lua_State* L) {
    Object* object = objectArg(L, 1);
    const int32_t size = intArg(L, 2);
    const int32_t chipSize = intArg(L, 3);
    if (object == nullptr || size <= 0 || chipSize <= 0) {
        return 0;
    }
    const uint64_t perSide = static_cast<uint64_t>(size) / static_cast<uint64_t>(chipSize);
    if (perSide * perSide > kMostChipsPerTexture) {
        return 0;
    }
    object->create(static_cast<uint32_t>(size), static_cast<uint32_t>(chipSize), floatArg(L, 4));
    return 0;
}

int clearAnimationDataList(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        object->getAnimationDataList().clear();
    }
    return 0;
}

// A list index from the script; false for a negative one.
bool indexArg(lua_State* L, int index, uint32_t& out) {
    const int32_t value = intArg(L, index);
    out = static_cast<uint32_t>(value);
    return value >= 0;
}

int setPlayRangeFromAnimationData(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t first = 0;
    uint32_t last = 0;
    if (object != nullptr && indexArg(L, 2, first) && indexArg(L, 3, last)) {
        object->setPlayRangeFromAnimationData(first, last);
    }
    return 0;
}

int getPlayRangeDataCount(lua_State* L) {
    Object* object = objectArg(L, 1);
    return object != nullptr ? pushCount(L, object->getPlayRangeList().size()) : 0;
}

int addPlayRangeData(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t first = 0;
    uint32_t last = 0;
    if (object == nullptr || !indexArg(L, 2, first) || !indexArg(L, 3, last)) {
        return 0;
    }
    auto& ranges = object->getPlayRangeList();
    ranges.push_back(std::make_shared<Object::OxPlayRangeData>(first, last));
    return pushCount(L, ranges.size() - 1);
}

std::shared_ptr<Object::OxPlayRangeData> rangeArg(lua_State* L, const Object* object, int index) {
    const int32_t value = intArg(L, index);
    if (object == nullptr || value < 0) {
        return nullptr;
    }
    return const_cast<Object*>(object)->getPlayRangeList().at(static_cast<std::size_t>(value));
}

int setPlayRangeName(lua_State* L) {
    if (const auto range = rangeArg(L, objectArg(L, 1), 2)) {
        range->name = wideArg(L, 3);
    }
    return 0;
}

int getPlayRangeName(lua_State* L) {
    const auto range = rangeArg(L, objectArg(L, 1), 2);
    if (!range) {
        return 0;
    }
    const std::string name = Orvex::System::narrow(range->name);
    lua_pushlstring(L, name.data(), name.size());
    return 1;
}

int getPlayRangeIndex(lua_State* L) {
    Object* object = objectArg(L, 1);
    if (object == nullptr) {
        return 0;
    }
    const std::u16string name = wideArg(L, 2);
    const auto& ranges = object->getPlayRangeList();
    for (std::size_t index = 0; index < ranges.size(); ++index) {
        const auto range = ranges.at(index);
        if (range && range->name == name) {
            return pushCount(L, index);
        }
    }
    lua_pushnumber(L, -1);
    return 1;
}

int applyPlayRangeDataFromIndex(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t index = 0;
    if (object == nullptr) {
        return 0;
    }
    return pushFlag(L, indexArg(L, 2, index) && object->applyPlayRangeDataFromIndex(index));
}

int applyPlayRangeDataFromName(lua_State* L) {
    Object* object = objectArg(L, 1);
    return object != nullptr ? pushFlag(L, object->applyPlayRangeDataFromName(wideArg(L, 2))) : 0;
}

int isPlayingFromPlayRangeIndex(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t index = 0;
    if (object == nullptr) {
        return 0;
    }
    return pushFlag(L, indexArg(L, 2, index) && object->isPlayingFromPlayRangeIndex(index));
}

int getChipDataCount(lua_State* L) {
    Object* object = objectArg(L, 1);
    return object != nullptr ? pushCount(L, object->getChipList().size()) : 0;
}

int addChipData(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t texture = 0;
    if (object == nullptr || !indexArg(L, 2, texture)) {
        return 0;
    }
    auto& chips = object->getChipList();
    chips.push_back(std::make_shared<OxChipData>(texture));
    return pushCount(L, chips.size() - 1);
}

int getAnimationDataCount(lua_State* L) {
    Object* object = objectArg(L, 1);
    return object != nullptr ? pushCount(L, object->getAnimationDataList().size()) : 0;
}

int addAnimationData(lua_State* L) {
    Object* object = objectArg(L, 1);
    uint32_t chip = 0;
    if (object == nullptr || !indexArg(L, 2, chip)) {
        return 0;
    }
    auto& frames = object->getAnimationDataList();
    frames.push_back(std::make_shared<OxAnimationData>(chip, floatArg(L, 3)));
    return pushCount(L, frames.size() - 1);
}

int setChipRectangle(lua_State* L) {
    if (Object* object = objectArg(L, 1)) {
        const float x = floatArg(L, 3);
        const float y = floatArg(L, 4);
        const float width = floatArg(L, 5);
        const float height = floatArg(L, 6);
        applyAt(object->getChipList(), intArg(L, 2),
                [&](OxChipData& chip) { chip.setChipRectangle(x, y, x + width, y + height); });
    }
    return 0;
}

int setPriority(lua_State* L) {
    // The priority is a whole number; a negative one wraps as the engine's unsigned field does.
    const auto priority = static_cast<uint32_t>(intArg(L, 3));
    return withFrames(L, [&](OxAnimationData& frame) { frame.priority = priority; });
}

int setTimeLength(lua_State* L) {
    const float seconds = floatArg(L, 3);
    return withFrames(L, [&](OxAnimationData& frame) { frame.timeLength = seconds; });
}

int setTextureBlendMode(lua_State* L) {
    const auto mode = static_cast<uint32_t>(intArg(L, 3));
    return withFrames(L, [&](OxAnimationData& frame) { frame.textureBlendMode = mode; });
}

int setDiffuseBlendMode(lua_State* L) {
    const auto mode = static_cast<uint32_t>(intArg(L, 3));
    return withFrames(L, [&](OxAnimationData& frame) { frame.diffuseBlendMode = mode; });
}

int setColor(lua_State* L) {
    const float r = floatArg(L, 3);
    const float g = floatArg(L, 4);
    const float b = floatArg(L, 5);
    const float a = floatArg(L, 6);
    return withFrames(L, [&](OxAnimationData& frame) { frame.setColor(r, g, b, a); });
}

int setDrawScale(lua_State* L) {
    const float x = floatArg(L, 3);
    const float y = floatArg(L, 4);
    return withFrames(L, [&](OxAnimationData& frame) { frame.setDrawScale(x, y); });
}

int setDrawOffset(lua_State* L) {
    const float x = floatArg(L, 3);
    const float y = floatArg(L, 4);
    return withFrames(L, [&](OxAnimationData& frame) { frame.setDrawOffset(x, y); });
}

int setDrawRotationZ(lua_State* L) {
    const float angle = floatArg(L, 3);
    return withFrames(L, [&](OxAnimationData& frame) { frame.setDrawRotationZ(angle); });
}

}  // namespace

Object* CMossbellLibCommand::newObject() {
    auto object = std::make_shared<Object>();
    objects_.push_back(object);
    return object.get();
}

bool CMossbellLibCommand::ownsObject(const Object* object) const {
    if (object == nullptr) {
        return false;
    }
    for (const auto& own : objects_) {
        if (own.get() == object) {
            return true;
        }
    }
    return false;
}

bool CMossbellLibCommand::deleteObject(const Object* object) {
    for (std::size_t index = 0; object != nullptr && index < objects_.size(); ++index) {
        if (objects_.at(index).get() == object) {
            objects_.removeAt(index);
            return true;
        }
    }
    return false;
}

int32_t CMossbellLibCommand::addTexture(Object& object, const std::u16string& path) {
    if (path.empty() || !reader_.open(path)) {
        Orvex::System::debugOutput(u"Not open file is " + path);
        return -1;
    }
    Orvex::Graphics::IOrvexTextureManager* textures = renderer_ != nullptr ? renderer_->getTextureManager() : nullptr;
    Orvex::Graphics::IOrvexTexture* made = nullptr;
    const bool ok = textures != nullptr && textures->createTexture(&made, &reader_) >= 0 && made != nullptr;
    reader_.close();
    if (!ok) {
        return -1;
    }
    // The object takes its own reference; ours ends with this function.
    const auto texture = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(made);
    object.addTexture(texture.get(), path);
    return static_cast<int32_t>(object.getTextureCount()) - 1;
}

bool CMossbellLibCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"MossbellLib",
                            {
                                {"newObject", &luaNewObject},
                                {"deleteObject", &luaDeleteObject},
                                {"update", &update},
                                {"draw", &draw},
                                {"stop", &playback<&Object::stop>},
                                {"isStop", &isStop},
                                {"play", &playback<&Object::play>},
                                {"pause", &playback<&Object::pause>},
                                {"setFPS", &setFPS},
                                {"getCurrentTime", &getCurrentTime},
                                {"setLoopPlay", &setLoopPlay},
                                {"addTexture", &luaAddTexture},
                                {"getTextureCount", &getTextureCount},
                                {"create", &create},
                                {"clear", &playback<&Object::clear>},
                                {"clearAnimationDataList", &clearAnimationDataList},
                                {"setPlayRangeFromAnimationData", &setPlayRangeFromAnimationData},
                                {"getPlayRangeDataCount", &getPlayRangeDataCount},
                                {"addPlayRangeData", &addPlayRangeData},
                                {"setPlayRangeName", &setPlayRangeName},
                                {"getPlayRangeName", &getPlayRangeName},
                                {"getPlayRangeIndex", &getPlayRangeIndex},
                                {"applyPlayRangeDataFromIndex", &applyPlayRangeDataFromIndex},
                                {"applyPlayRangeDataFromName", &applyPlayRangeDataFromName},
                                {"isPlayingFromPlayRangeIndex", &isPlayingFromPlayRangeIndex},
                                {"getChipDataCount", &getChipDataCount},
                                {"addChipData", &addChipData},
                                {"getAnimationDataCount", &getAnimationDataCount},
                                {"addAnimationData", &addAnimationData},
                            },
                            {
                                {"ChipData", {{"setChipRectangle", &setChipRectangle}}, {}},
                                {"AnimationData",
                                 {
                                     {"setPriority", &setPriority},
                                     {"setTimeLength", &setTimeLength},
                                     {"setTextureBlendMode", &setTextureBlendMode},
                                     {"setDiffuseBlendMode", &setDiffuseBlendMode},
                                     {"setColor", &setColor},
                                     {"setDrawScale", &setDrawScale},
                                     {"setDrawOffset", &setDrawOffset},
                                     {"setDrawRotationZ", &setDrawRotationZ},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
