#include "game/scriptcommand/CAudioCommand.h"

#include <utility>

#include "game/scriptcommand/KnownGameResources.h"
#include "game/services/CSEManager.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Orvex::AudioSystem::kAudioStateStopped;
using Orvex::AudioSystem::kSourceTypeVorbis;
using Source = CAudioCommand::Source;

CAudioCommand& module(lua_State* L) {
    CAudioCommand* found = CAudioCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Audio: no module object is attached to this state");
    }
    return *found;
}

// One of the module's sources or the game's music or system sound the script was handed; null
// for anything else, including a deleted source or music that has since stopped.
std::shared_ptr<Source> sourceArg(lua_State* L, int index) {
    return module(L).findScriptSource(L, lua_touserdata(L, index));
}

int createAudioSource(lua_State* L) {
    CAudioCommand& self = module(L);
    const auto kind = static_cast<uint32_t>(ScriptArguments::intArg(L, 2));
    Source* source = self.createSource(ScriptArguments::wideArg(L, 1), kind);
    if (source == nullptr) {
        return 0;
    }
    lua_pushlightuserdata(L, source);
    return 1;
}

int deleteAudioSource(lua_State* L) {
    module(L).deleteSource(lua_touserdata(L, 1));
    return 0;
}

int luaCleanUpCache(lua_State* L) {
    module(L).cleanUpCache();
    return 0;
}

int getStatus(lua_State* L) {
    const auto source = sourceArg(L, 1);
    if (source == nullptr) {
        return 0;
    }
    lua_pushinteger(L, static_cast<lua_Integer>(source->getState()));  // raises no error
    return 1;
}

template <auto Operation>
int control(lua_State* L) {
    if (const auto source = sourceArg(L, 1)) {
        ((*source).*Operation)();
    }
    return 0;
}

int setLoopCount(lua_State* L) {
    if (const auto source = sourceArg(L, 1)) {
        // -1, endless, is the all-ones count of the source.
        source->setLoopCount(static_cast<uint32_t>(ScriptArguments::intArg(L, 2)));
    }
    return 0;
}

}  // namespace

CAudioCommand::CAudioCommand(std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> device,
                             Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                             Orvex::IO::StreamIO::IOrvexStreamReader& streamReader, CSEManager* soundEffects,
                             IGameContext* game)
    : device_(std::move(device)),
      reader_(reader),
      streamReader_(streamReader),
      soundEffects_(soundEffects),
      game_(game) {}

CAudioCommand::~CAudioCommand() {
    if (soundEffects_ != nullptr) {
        for (const auto& source : sources_) {
            if (source && source->getState() != kAudioStateStopped) {
                soundEffects_->addSource(source);
            }
        }
    }
    sources_.clear();
}

Source* CAudioCommand::createSource(const std::u16string& path, uint32_t kind) {
    if (!device_) {
        return nullptr;
    }
    auto& reader = kind == kSourceTypeVorbis ? streamReader_ : reader_;
    std::shared_ptr<Source> source = device_->createSource(path, &reader, kind);
    if (!source) {
        return nullptr;
    }
    sources_.push_back(source);
    return source.get();
}

Source* CAudioCommand::findSource(const void* source) const {
    if (source == nullptr) {
        return nullptr;
    }
    for (const auto& own : sources_) {
        if (own.get() == source) {
            return own.get();
        }
    }
    return nullptr;
}

std::shared_ptr<Source> CAudioCommand::findScriptSource(lua_State* L, const void* given) const {
    if (given == nullptr) {
        return nullptr;
    }
    for (const auto& own : sources_) {
        if (own.get() == given) {
            return own;
        }
    }
    return findGameSound(L, game_, given);
}

bool CAudioCommand::deleteSource(const void* source) {
    for (std::size_t index = 0; source != nullptr && index < sources_.size(); ++index) {
        if (sources_.at(index).get() == source) {
            sources_.removeAt(index);
            return true;
        }
    }
    return false;
}

void CAudioCommand::cleanUpCache() {
    if (device_) {
        device_->releaseUnusedWaves();
    }
}

bool CAudioCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Audio",
                            {
                                {"createAudioSource", &createAudioSource},
                                {"deleteAudioSource", &deleteAudioSource},
                                {"cleanUpCache", &luaCleanUpCache},
                                {"getStatus", &getStatus},
                                {"play", &control<&Source::play>},
                                {"playNew", &control<&Source::playNew>},
                                {"stop", &control<&Source::stop>},
                                {"pause", &control<&Source::pause>},
                                {"replay", &control<&Source::resume>},
                                {"setLoopCount", &setLoopCount},
                            },
                            {}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
