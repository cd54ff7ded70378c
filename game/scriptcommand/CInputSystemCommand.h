#pragma once
// The "InputSystem" module: scripts read the game's virtual keys, either the set the game reads
// now (a replay's keys while one plays back) or a key set their host handed to the module.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "engine/input/OxVirtualKey.h"
#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow::ScriptCommand {

class CInputSystemCommand : public CScriptCommandBase<CInputSystemCommand> {
public:
    using Keys = Orvex::InputSystem::OxVirtualKey;
    using KeySource = std::function<Keys*()>;

    // `currentKeys` gives the key set the game reads at the moment of the call.
    explicit CInputSystemCommand(KeySource currentKeys) : currentKeys_(std::move(currentKeys)) {}
    CInputSystemCommand(KeySource currentKeys, Keys* keys) : currentKeys_(std::move(currentKeys)) {
        addVirtualKey(keys);
    }

    bool registerFunctions(CScriptController& controller) override;

    // The module only points at the sets: their owners keep them alive longer than the module.
    void addVirtualKey(Keys* keys) { keys_.push_back(keys); }

    Keys* getCurrentKeys() const { return currentKeys_ ? currentKeys_() : nullptr; }
    // The set at that position of the module's list, or null.
    Keys* getKeysAt(int32_t index) const;
    // The current set or one of the list; a script's pointer to anything else is refused.
    Keys* findKeys(const void* keys) const;

private:
    KeySource currentKeys_;
    std::vector<Keys*> keys_;
};

}  // namespace Fenwarrow::ScriptCommand
