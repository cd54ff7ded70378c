#pragma once
// An action written in Lua: one action script in a Lua state of its own, built on the action
// manager's loader thread, whose `Game.Action` table receives the action's life
// (initialize, startAction, updateAction, endAction, drawAction). The item actions derive from
// it and differ in the script they run and the objects they hand to `Game.Action.initialize`.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/script/CScriptValue.h"
#include "game/action/CAction.h"

namespace Fenwarrow {
class CScriptController;
}

namespace Fenwarrow::Action {

class IActionContext;

class CScriptingAction : public CAction {
public:
    static constexpr uint32_t kScriptMemory = 0x40000;

    // The parameter reaches the script as a pointer value (usually the acting actor).
    CScriptingAction(IActionContext& context, std::u16string scriptFileName, void* parameter);
    ~CScriptingAction() override;

    bool isExclusive() const override { return true; }
    bool needsPreparation() const override { return true; }
    // Loader thread: the environment, then the script's initialize.
    void prepare() override;
    void start() override;
    void end() override;
    // Runs while the script's updateAction returns true; a missing script ends at once.
    void update() override;
    void draw() override;

    // Loads the script into a new state with the action modules attached and runs its main
    // chunk; false (and no state) when any of it fails.
    virtual bool createEnvironment();
    // Hands the script its objects through `Game.Action.initialize`.
    virtual bool initialize();

    const std::u16string& getScriptFileName() const { return scriptFileName_; }
    void* getParameter() const { return parameter_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }

protected:
    IActionContext& getContext() const { return context_; }
    void setScriptFileName(const std::u16string& name) { scriptFileName_ = name; }
    // Calls Game.Action.<name>; nothing without a state.
    void callAction(const char* name, const std::vector<Orvex::Script::CScriptValue>& arguments = {});
    // An object handed to the script: lent to the action's state, so the modules accept it back.
    Orvex::Script::CScriptValue objectArgument(const void* object) const;

private:
    IActionContext& context_;
    std::u16string scriptFileName_;
    void* parameter_;
    std::shared_ptr<CScriptController> script_;
};

}  // namespace Fenwarrow::Action
