#pragma once
// A real action manager (with its loader thread) inside an engine root, the test action
// context, and scripts packed into a test archive that the context's reader opens.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/action/CActionManager.h"
#include "game/action/CScriptingAction.h"
#include "game/services/CScriptController.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/engine/thread/ThreadFixture.h"
#include "tests/game/action/ActionTestContext.h"

namespace ActionTest {

class ActionFixture : public ThreadFixture {
protected:
    void SetUp() override {
        ThreadFixture::SetUp();
        manager_ = std::make_unique<Fenwarrow::Action::CActionManager>();
        context_.actions = manager_.get();
        context_.game.provideAllModules();
    }
    void TearDown() override {
        manager_.reset();
        folder_.reset();
        ThreadFixture::TearDown();
    }

    // Packs the scripts (path without ".lcd", Lua source) into the context's archive.
    void packScripts(const std::vector<std::pair<std::u16string, std::string>>& scripts) {
        std::vector<Orvex::Packer::PackerEntry> entries;
        for (const auto& [path, source] : scripts) {
            entries.push_back({path + u".lcd", ScriptTest::textBytes(source), false});
        }
        folder_ = std::make_unique<TempFolder>();
        ScriptTest::openArchive(*folder_, context_.game.reader, entries);
    }

    // Frames until the condition holds, at most ten seconds of them.
    bool updateUntil(const std::function<bool()>& condition) {
        return eventually([&] {
            manager_->update();
            return condition();
        });
    }
    bool runUntilIdle() {
        return updateUntil([&] { return !manager_->isBusy(); });
    }

    // A global of the action's Lua state as text ("nil" when unset or without a state).
    static std::string global(const Fenwarrow::Action::CScriptingAction& action, const char* name) {
        const auto& script = action.getScript();
        lua_State* L = script != nullptr ? script->getLuaState() : nullptr;
        if (L == nullptr) {
            return "nil";
        }
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value =
            text != nullptr ? text : (lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false") : "nil");
        lua_pop(L, 1);
        return value;
    }
    static void* globalPointer(const Fenwarrow::Action::CScriptingAction& action, const char* name) {
        lua_State* L = action.getScript() != nullptr ? action.getScript()->getLuaState() : nullptr;
        if (L == nullptr) {
            return nullptr;
        }
        lua_getglobal(L, name);
        void* pointer = lua_touserdata(L, -1);
        lua_pop(L, 1);
        return pointer;
    }

    TestActionContext context_;
    std::unique_ptr<Fenwarrow::Action::CActionManager> manager_;
    std::unique_ptr<TempFolder> folder_;
};

}  // namespace ActionTest
