#pragma once
// The "GeneralWindow" module: scripts make their own message and list windows, fill them with a
// title, a text or entries whose choice calls back into the script, and update and draw them
// themselves. The module owns the windows it made until the script deletes them or the module
// goes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/services/CScriptCommandBase.h"

struct lua_State;

namespace Orvex::FontLib {
class OxFont;
}
namespace Orvex::Graphics {
class IOrvexRenderer;
}
namespace Fenwarrow {
class CGeneralWindow;
class IGeneralWindowContext;
}  // namespace Fenwarrow

namespace Fenwarrow::ScriptCommand {

class CGeneralWindowCommand : public CScriptCommandBase<CGeneralWindowCommand> {
public:
    struct Services {
        // The frame texture, sounds and keys of the windows.
        std::shared_ptr<IGeneralWindowContext> windowContext;
        // The renderer the windows' fonts draw with.
        Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
        // The game's shared font ("Default").
        std::function<std::shared_ptr<Orvex::FontLib::OxFont>()> gameFont;
        // A new font of its own with that name loaded into it.
        std::function<std::shared_ptr<Orvex::FontLib::OxFont>(const std::u16string& name)> loadFont;
    };

    // A script callback of a list entry: the Lua thread holding the function (and its bound
    // argument), anchored until released.
    struct Callback {
        lua_State* thread = nullptr;
    };

    explicit CGeneralWindowCommand(Services services) : services_(std::move(services)) {}
    ~CGeneralWindowCommand() override;

    bool registerFunctions(CScriptController& controller) override;

    // A window with a font of that name; null when it cannot be set up.
    CGeneralWindow* newWindow(const std::u16string& fontName);
    // Releases the entries' callbacks and drops the window; false when it is not one of ours.
    bool deleteWindow(const void* window);
    // The window when it is one of this module's; null for anything else.
    CGeneralWindow* findWindow(const void* window) const;
    // Appends an entry whose choice calls the stored callback with its index.
    void addCallbackEntry(CGeneralWindow& window, const std::u16string& text, lua_State* thread);
    std::size_t getWindowCount() const { return windows_.size(); }

private:
    struct OwnedWindow {
        std::shared_ptr<CGeneralWindow> window;
        std::vector<std::shared_ptr<Callback>> callbacks;
    };
    static void releaseCallbacks(OwnedWindow& owned);

    Services services_;
    std::vector<OwnedWindow> windows_;
};

}  // namespace Fenwarrow::ScriptCommand
