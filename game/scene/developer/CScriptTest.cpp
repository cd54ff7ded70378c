#include "game/scene/developer/CScriptTest.h"

#include <string>

#include "engine/input/OxInputSystem.h"
#include "engine/system/OxWideFormat.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CInputSystemCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Scene {
namespace {
namespace In = Orvex::InputSystem;
// The registry slot holding the scene whose samples "getObj" hands out.
const char kSceneKey = 0;
}  // namespace

CScriptTest::~CScriptTest() { script_.close(); }

Orvex::IO::StreamIO::IOrvexStreamReader& CScriptTest::getArchiveReader() {
    return context_.getGameContext().getArchiveReader();
}

Orvex::Random::IOrvexRandomGenerator& CScriptTest::getRandomGenerator() {
    return context_.getGameContext().getRandomGenerator();
}

bool CScriptTest::initialize() {
    // Devices that cannot be opened are left out: the scene then runs on what it has, down to
    // no device at all (a machine without a display), rather than not at all.
    openInputDevices();
    if (!console_.createFont(context_, 16)) {
        return false;
    }
    // The script is optional: without it the scene shows its figures only.
    if (!script_.loadScript(kScript, kScriptBlockSize)) {
        return true;
    }
    if (!attachModules()) {
        return false;
    }
    lua_State* L = script_.getLuaState();
    lua_pushlightuserdata(L, const_cast<char*>(&kSceneKey));
    lua_pushlightuserdata(L, this);
    lua_rawset(L, LUA_REGISTRYINDEX);
    script_.getLuaApi()->registerFunction("getObj", &CScriptTest::getObj);
    script_.runMain();
    return true;
}

void CScriptTest::openInputDevices() {
    auto* input = In::OxInputSystem::getInstance();
    if (input == nullptr) {
        return;
    }
    const std::pair<uint32_t, uint32_t> wanted[] = {{In::kDeviceKeyboard, 0}, {In::kDeviceMouse, 0},
                                                    {In::kDeviceGamePad, 0},  {In::kDeviceGamePad, 1},
                                                    {In::kDeviceGamePad, 2},  {In::kDeviceGamePad, 3}};
    for (const auto& [kind, index] : wanted) {
        if (auto device = input->createDevice(kind, index)) {
            if (auto* buttons = dynamic_cast<In::IOrvexKeyBase*>(device.get())) {
                keys_.addDevice(buttons);
            }
            devices_.push_back(std::move(device));
        }
    }
    // The cursor keys, when there is a keyboard, are virtual keys 0 to 3 (up, right, down, left).
    if (!devices_.empty() && devices_.front()->getKind() == In::kDeviceKeyboard) {
        const uint32_t cursorKeys[4] = {kKeyUp, kKeyRight, kKeyDown, kKeyLeft};
        for (uint32_t key = 0; key < 4; ++key) {
            keys_.bind(key, 0, cursorKeys[key]);
        }
    }
}

bool CScriptTest::attachModules() {
    auto* renderer = context_.getRenderer();
    return script_.attachCommand(std::make_shared<ScriptCommand::CMossbellLibCommand>(renderer, files_)) &&
           script_.attachCommand(
               std::make_shared<ScriptCommand::CGraphicsCommand>(renderer, files_, context_.getRenderQueue())) &&
           script_.attachCommand(std::make_shared<ScriptCommand::CInputSystemCommand>([this] { return &keys_; }));
}

int CScriptTest::getObj(lua_State* L) {
    lua_pushlightuserdata(L, const_cast<char*>(&kSceneKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* scene = static_cast<CScriptTest*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    const int32_t index = ScriptArguments::intArg(L, 1);
    if (scene == nullptr || index < 0 || static_cast<std::size_t>(index) >= kSampleObjectCount) {
        return 0;  // nil: there is no such sample
    }
    auto* object = &scene->samples_[static_cast<std::size_t>(index)];
    ScriptArguments::lendObject(L, object);
    lua_pushlightuserdata(L, object);
    return 1;
}

bool CScriptTest::update() {
    keys_.update();
    if (script_.hasState()) {
        script_.getLuaApi()->callFunction("update", 1, std::to_string(context_.getFrameTime()));
    }
    return true;
}

bool CScriptTest::draw() {
    // Inside the frame's drawing, which clears the screen first and opens the sprite pass: the
    // script's draws go to the screen at once.
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        if (script_.hasState()) {
            script_.callVoid("draw");
        }
        if (!console_.begin()) {
            return;
        }
        const auto& first = samples_[0];
        console_.drawText(10, 400, Orvex::System::formatWide(u"FPS: %.02f", first.getFPS()));
        console_.drawText(10, 420, Orvex::System::formatWide(u"Time: %.02f", first.getCurrentTime()));
        console_.drawText(10, 440,
                          Orvex::System::formatWide(u"Index: %d", static_cast<int32_t>(first.getCurrentIndex())));
        console_.end();
    });
    return true;
}

bool CScriptTest::finalize() {
    script_.close();
    return true;
}

}  // namespace Fenwarrow::Scene
