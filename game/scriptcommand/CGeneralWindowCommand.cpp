#include "game/scriptcommand/CGeneralWindowCommand.h"

#include <algorithm>

#include "engine/font/OxFontRenderer.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/ScriptUtility.h"

namespace Fenwarrow::ScriptCommand {

namespace {

using ScriptArguments::flagArg;
using ScriptArguments::floatArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

CGeneralWindowCommand& module(lua_State* L) {
    CGeneralWindowCommand* found = CGeneralWindowCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "GeneralWindow: no module object is attached to this state");
    }
    return *found;
}

// A window this module made; null for anything else, which every function then ignores.
CGeneralWindow* windowArg(lua_State* L, int index) { return module(L).findWindow(lua_touserdata(L, index)); }

int luaNewWindow(lua_State* L) {
    CGeneralWindow* window = module(L).newWindow(wideArg(L, 1));
    if (window == nullptr) {
        return 0;
    }
    lua_pushlightuserdata(L, window);
    return 1;
}

int luaDeleteWindow(lua_State* L) {
    module(L).deleteWindow(lua_touserdata(L, 1));
    return 0;
}

int update(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->update(floatArg(L, 2));
    }
    return 0;
}

int draw(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->draw();
    }
    return 0;
}

int setWindowMode(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->setWindowMode(static_cast<uint32_t>(intArg(L, 2)));
    }
    return 0;
}

int setShowTitle(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->showTitle = flagArg(L, 2);
    }
    return 0;
}

int setTitle(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->title = wideArg(L, 2);
    }
    return 0;
}

int setText(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->text = wideArg(L, 2);
    }
    return 0;
}

int setLocation(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->x = floatArg(L, 2);
        window->y = floatArg(L, 3);
    }
    return 0;
}

int setWindowSize(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        const float size[2] = {floatArg(L, 2), floatArg(L, 3)};
        window->setWindowSize(size);
    }
    return 0;
}

int getListItemCount(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    if (window == nullptr) {
        return 0;
    }
    lua_pushinteger(L, static_cast<lua_Integer>(window->getListItemCount()));
    return 1;
}

int addListItem(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->addListItem(wideArg(L, 2), 0);
    }
    return 0;
}

int addListItemEx(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    if (window == nullptr || !lua_isfunction(L, 3)) {
        return 0;
    }
    const std::u16string text = wideArg(L, 2);
    lua_State* thread = newCallbackThread(L, 3, lua_gettop(L) >= 4 ? 4 : 0);
    if (thread != nullptr) {
        module(L).addCallbackEntry(*window, text, thread);
    }
    return 0;
}

int clearListItem(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->clearListItem();
    }
    return 0;
}

int setSelectItemIndex(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->setSelectItemIndex(intArg(L, 2));
    }
    return 0;
}

int getSelectedItemIndex(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    if (window == nullptr) {
        return 0;
    }
    lua_pushinteger(L, window->getSelectedItemIndex());
    return 1;
}

int setEnableMonospace(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    if (window != nullptr && window->getFontRenderer() != nullptr) {
        window->getFontRenderer()->monospace = flagArg(L, 2);
    }
    return 0;
}

int setMonospaceWidth(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    if (window != nullptr && window->getFontRenderer() != nullptr) {
        window->getFontRenderer()->monospaceWidth = floatArg(L, 2);
    }
    return 0;
}

int getFontSize(lua_State* L) {
    CGeneralWindow* window = windowArg(L, 1);
    const Orvex::FontLib::OxFontRenderer* renderer = window != nullptr ? window->getFontRenderer().get() : nullptr;
    if (renderer == nullptr || renderer->getFont() == nullptr) {
        return 0;
    }
    lua_pushinteger(L, static_cast<lua_Integer>(renderer->getFont()->fontSize));
    return 1;
}

int setFrameVisibility(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->frameVisible = flagArg(L, 2);
    }
    return 0;
}

int setTextVisibility(lua_State* L) {
    if (CGeneralWindow* window = windowArg(L, 1)) {
        window->textVisible = flagArg(L, 2);
    }
    return 0;
}

}  // namespace

CGeneralWindowCommand::~CGeneralWindowCommand() {
    for (OwnedWindow& owned : windows_) {
        releaseCallbacks(owned);
    }
}

void CGeneralWindowCommand::releaseCallbacks(OwnedWindow& owned) {
    for (const std::shared_ptr<Callback>& callback : owned.callbacks) {
        releaseCallbackThread(std::exchange(callback->thread, nullptr));
    }
    owned.callbacks.clear();
}

CGeneralWindow* CGeneralWindowCommand::newWindow(const std::u16string& fontName) {
    if (services_.windowContext == nullptr) {
        return nullptr;
    }
    std::shared_ptr<Orvex::FontLib::OxFont> font;
    if (fontName == u"Default") {
        font = services_.gameFont ? services_.gameFont() : nullptr;
    } else if (services_.loadFont) {
        font = services_.loadFont(fontName);
    }
    auto renderer = std::make_shared<Orvex::FontLib::OxFontRenderer>(services_.renderer, font);
    auto window = std::make_shared<CGeneralWindow>(services_.windowContext);
    if (!window->create(renderer)) {
        return nullptr;
    }
    windows_.push_back({window, {}});
    return window.get();
}

CGeneralWindow* CGeneralWindowCommand::findWindow(const void* window) const {
    if (window == nullptr) {
        return nullptr;
    }
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [window](const OwnedWindow& owned) { return owned.window.get() == window; });
    return found != windows_.end() ? found->window.get() : nullptr;
}

bool CGeneralWindowCommand::deleteWindow(const void* window) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [window](const OwnedWindow& owned) { return owned.window.get() == window; });
    if (window == nullptr || found == windows_.end()) {
        return false;
    }
    releaseCallbacks(*found);
    windows_.erase(found);
    return true;
}

void CGeneralWindowCommand::addCallbackEntry(CGeneralWindow& window, const std::u16string& text, lua_State* thread) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&window](const OwnedWindow& owned) { return owned.window.get() == &window; });
    if (found == windows_.end()) {
        releaseCallbackThread(thread);
        return;
    }
    auto callback = std::make_shared<Callback>(Callback{thread});
    found->callbacks.push_back(callback);
    window.addListItemEx(
        text,
        [callback](CGeneralWindow::CListItem*, int32_t index) {
            lua_State* thread = callback->thread;
            // A released callback does nothing.
            if (thread == nullptr) {
                return;
            }
            const int arguments = pushCallback(thread);
            lua_pushinteger(thread, index);
            // The window may be updated from native code, where a script error must not unwind.
            if (lua_pcall(thread, arguments + 1, 0, 0) != 0) {
                const char* message = lua_tostring(thread, -1);
                Orvex::System::errorOutput(u"GeneralWindow: a list entry's callback failed: " +
                                           Orvex::System::widen(message != nullptr ? message : "?"));
                lua_pop(thread, 1);
            }
        },
        0);
}

bool CGeneralWindowCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"GeneralWindow",
                            {
                                {"newWindow", &luaNewWindow},
                                {"deleteWindow", &luaDeleteWindow},
                                {"update", &update},
                                {"draw", &draw},
                                {"setWindowMode", &setWindowMode},
                                {"setShowTitle", &setShowTitle},
                                {"setTitle", &setTitle},
                                {"setText", &setText},
                                {"setLocation", &setLocation},
                                {"setWindowSize", &setWindowSize},
                                {"getListItemCount", &getListItemCount},
                                {"addListItem", &addListItem},
                                {"addListItemEx", &addListItemEx},
                                {"clearListItem", &clearListItem},
                                {"setSelectItemIndex", &setSelectItemIndex},
                                {"getSelectedItemIndex", &getSelectedItemIndex},
                                {"setEnableMonospace", &setEnableMonospace},
                                {"setMonospaceWidth", &setMonospaceWidth},
                                {"getFontSize", &getFontSize},
                                {"setFrameVisibility", &setFrameVisibility},
                                {"setTextVisibility", &setTextVisibility},
                            },
                            {}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
