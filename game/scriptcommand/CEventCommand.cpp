#include "game/scriptcommand/CEventCommand.h"

#include <memory>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/event/CCommandBase.h"
#include "game/event/CEvent.h"
#include "game/event/CEventLayer.h"
#include "game/event/CEventPage.h"
#include "game/event/EventCommandFactory.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Events, pages and commands reach scripts as plain handles. A handle is taken back only while
// the event layer still holds that object, so a handle of a finished event or a made-up number
// reads as no object.

namespace Fenwarrow::ScriptCommand {

namespace {

using Event::Command::CCommandBase;
using Event::Command::CommandParameters;

CEventCommand& module(lua_State* L) {
    CEventCommand* found = CEventCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Event: no module object is attached to this state");
    }
    return *found;
}

int createEvent(lua_State* L) {
    Event::CEventLayer* layer = module(L).getEventLayer();
    if (layer == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    auto event = std::make_shared<Event::CEvent>();
    event->addPage(std::make_shared<Event::CEventPage>());
    layer->addEvent(event);
    lua_pushlightuserdata(L, event.get());
    return 1;
}

Event::CEvent* eventArg(lua_State* L, int index) {
    Event::CEventLayer* layer = module(L).getEventLayer();
    return layer != nullptr ? layer->findEvent(lua_touserdata(L, index)) : nullptr;
}

int getPageCount(lua_State* L) {
    Event::CEvent* event = eventArg(L, 1);
    lua_pushinteger(L, event != nullptr ? static_cast<lua_Integer>(event->getPages().size()) : 0);
    return 1;
}

int getPage(lua_State* L) {
    Event::CEvent* event = eventArg(L, 1);
    const int32_t index = ScriptArguments::intArg(L, 2);
    if (event == nullptr || index < 0 || static_cast<std::size_t>(index) >= event->getPages().size()) {
        lua_pushnil(L);
        return 1;
    }
    lua_pushlightuserdata(L, event->getPages()[static_cast<std::size_t>(index)].get());
    return 1;
}

// The command's set-up with the named parameters of the table in argument 3; values other
// than booleans, handles, numbers and strings are left out.
int callCommand(lua_State* L) {
    CEventCommand& self = module(L);
    if (!lua_istable(L, 1)) {
        return 0;
    }
    lua_getfield(L, 1, "_command");
    void* address = lua_touserdata(L, -1);
    lua_pop(L, 1);
    Event::CEventLayer* layer = self.getEventLayer();
    CCommandBase* command = layer != nullptr ? layer->findCommand(address) : nullptr;
    if (command == nullptr) {
        return 0;
    }
    const std::u16string method = ScriptArguments::wideArg(L, 2);
    CommandParameters parameters;
    if (lua_istable(L, 3)) {
        lua_pushnil(L);
        while (lua_next(L, 3) != 0) {
            // Convert a copy: converting the key itself would break the walk.
            lua_pushvalue(L, -2);
            const char* keyText = lua_tostring(L, -1);
            std::u16string key;
            const bool keyOk = keyText != nullptr && Orvex::System::toWideString(keyText, key);
            lua_pop(L, 1);
            if (keyOk) {
                switch (lua_type(L, -1)) {
                    case LUA_TBOOLEAN:
                        parameters[key] = lua_toboolean(L, -1) != 0;
                        break;
                    case LUA_TLIGHTUSERDATA:
                        parameters[key] = lua_touserdata(L, -1);
                        break;
                    case LUA_TNUMBER:
                        parameters[key] = static_cast<float>(lua_tonumber(L, -1));
                        break;
                    case LUA_TSTRING: {
                        std::u16string text;
                        if (Orvex::System::toWideString(lua_tostring(L, -1), text)) {
                            parameters[key] = text;
                        }
                        break;
                    }
                    default:
                        break;
                }
            }
            lua_pop(L, 1);
        }
    }
    command->setup(method, parameters);
    return 0;
}

int createCommand(lua_State* L) {
    CEventCommand& self = module(L);
    Event::CEventLayer* layer = self.getEventLayer();
    Event::CEventPage* page = layer != nullptr ? layer->findPage(lua_touserdata(L, 1)) : nullptr;
    std::shared_ptr<CCommandBase> command;
    if (page != nullptr) {
        command = Event::Command::createEventCommand(ScriptArguments::wideArg(L, 2), ScriptArguments::wideArg(L, 3),
                                                     self.getScreenEffects());
        page->addCommand(command);
    }
    lua_createtable(L, 0, 2);
    lua_pushlightuserdata(L, command.get());
    lua_setfield(L, -2, "_command");
    lua_pushcfunction(L, &callCommand);
    lua_setfield(L, -2, "call");
    return 1;
}

}  // namespace

bool CEventCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Event",
                            {
                                {"createEvent", &createEvent},
                                {"getPageCount", &getPageCount},
                                {"getPage", &getPage},
                            },
                            {{"Page", {{"createCommand", &createCommand}}, {}}}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
