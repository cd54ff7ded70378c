#pragma once
// The "Audio" module: scripts make sound sources from files in the archives, play, pause and
// stop them, and let the audio device drop cached wave data. The sources a script makes live as
// long as the module, so as long as the script state that uses them.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class CSEManager;
class IGameContext;
}  // namespace Fenwarrow

namespace Fenwarrow::ScriptCommand {

class CAudioCommand : public CScriptCommandBase<CAudioCommand> {
public:
    using Source = Orvex::AudioSystem::IOrvexAudioSource;

    // The device makes the sources (without one, no source is made). Whole wave files are read
    // through `reader`; streamed files through `streamReader`, the reader music plays from, so
    // that a stream never waits on, or holds, the reader scripts and textures load through.
    // `soundEffects` keeps what still sounds when the module dies (may be null). Scripts may also
    // drive the game's own music and system sounds that the Game module hands them, which `game`
    // (may be null) names. The readers, the manager and the game must outlive the module.
    CAudioCommand(std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> device,
                  Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                  Orvex::IO::StreamIO::IOrvexStreamReader& streamReader, CSEManager* soundEffects,
                  IGameContext* game = nullptr);
    // Sources still playing or paused go to the sound-effect manager, which keeps them until
    // they end; the others are released.
    ~CAudioCommand() override;
    CAudioCommand(const CAudioCommand&) = delete;
    CAudioCommand& operator=(const CAudioCommand&) = delete;

    bool registerFunctions(CScriptController& controller) override;

    // Null only without a device; a file that cannot be played gives a source that stays silent.
    Source* createSource(const std::u16string& path, uint32_t kind);
    // False when the source is not one of this module's.
    bool deleteSource(const void* source);
    // The module's source at that address, or null.
    Source* findSource(const void* source) const;
    // What a script's argument names: one of the module's sources or, while it is lent to L, the
    // game's music or a system sound; null for anything else. Shared, so that the game's music
    // stays whole while the call uses it.
    std::shared_ptr<Source> findScriptSource(lua_State* L, const void* given) const;
    void cleanUpCache();
    std::size_t getSourceCount() const { return sources_.size(); }

private:
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> device_;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader_;
    Orvex::IO::StreamIO::IOrvexStreamReader& streamReader_;
    CSEManager* soundEffects_;
    IGameContext* game_;
    Orvex::System::shared_vector_ptr<Source> sources_;
};

}  // namespace Fenwarrow::ScriptCommand
