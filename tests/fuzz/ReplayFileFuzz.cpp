// Replay files and chunks over hostile data. The first byte chooses the form: an arbitrary
// file read as a replay, or an arbitrary body inside a valid container, read as a replay and
// as the chunks of a run cut short, which the controller merges and plays back. A body is
// either refused whole or read with every frame inside it and texts that end inside their
// fields; the merged run plays to its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/input/OxVirtualKey.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "engine/serialization/OxSerializer.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/save/CSaveDataController.h"
#include "platform/kernel/Process.h"

namespace {

namespace fs = std::filesystem;
using Fenwarrow::Replay::CReplayController;
using Fenwarrow::Replay::CReplayInfo;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class FuzzGame : public Fenwarrow::Replay::IReplayContext {
public:
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::u16string getPlayerName() override { return u"fuzz"; }
    float getPlayTime() override { return 0.0f; }
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return live; }

    Orvex::Random::OxMT19937RandomGenerator random;
    Orvex::InputSystem::OxVirtualKey live;
};

// The controller works relative to the working folder ("Temp/", "Replay/"): a scratch folder.
const fs::path& scratchFolder() {
    static const fs::path kFolder = [] {
        fs::path folder =
            fs::temp_directory_path() / ("orvex-fuzz-replay-" + std::to_string(Platform::Kernel::processId()));
        fs::create_directories(folder);
        fs::current_path(folder);
        // The game's relative paths ("Temp/", "Replay/") are taken from the engine's base folder.
        Orvex::System::engineState().baseDirectoryW = Orvex::System::widen(folder.string());
        return folder;
    }();
    return kFolder;
}

void checkRead(const CReplayInfo& info, size_t bodySize) {
    check(2928 + uint64_t{100} * info.getFrames().size() <= bodySize);
    check(info.getDungeonScript().size() < CReplayInfo::kDungeonScriptUnits);
    check(info.getVersion().size() < CReplayInfo::kVersionUnits);
    check(info.getPlayerName().size() < CReplayInfo::kPlayerNameUnits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    fs::remove_all(scratchFolder() / "Temp");
    fs::remove_all(scratchFolder() / "Replay");
    const bool wrapped = (data[0] & 1) != 0;
    ++data;
    --size;

    Fenwarrow::CSaveDataController container;
    if (!wrapped) {
        std::ofstream(scratchFolder() / "file.lrd", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        CReplayInfo info;
        if (Fenwarrow::Replay::loadReplayFile(info, u"file.lrd")) {
            checkRead(info, Fenwarrow::CSaveDataController::kMaxDataBytes);
        } else {
            check(info.getFrames().empty() && info.getSeed() == 0);
        }
        return 0;
    }

    Orvex::Serialization::OxSerializer body;
    body.writeBlock(data, size);
    body.setWriting(false);
    CReplayInfo info;
    if (!info.deserialize(body)) {
        return 0;
    }
    checkRead(info, size);

    // The same body as chunks 0 and 1 of a run cut short: the next start merges and saves them.
    fs::create_directories(scratchFolder() / "Temp");
    for (const char16_t* chunk : {u"Temp/replay000000.tmp", u"Temp/replay000001.tmp"}) {
        Orvex::Serialization::OxSerializer copy;
        copy.writeBlock(data, size);
        container.prepareHeader();
        check(container.writeContainer(copy, chunk));
    }
    FuzzGame game;
    CReplayController controller(game);
    check(!fs::exists(scratchFolder() / "Temp/replay000000.tmp"));
    std::u16string saved;
    for (const auto& entry : fs::directory_iterator(scratchFolder() / "Replay")) {
        saved = u"Replay/" + std::u16string(entry.path().filename().u16string());
    }
    check(controller.loadReplay(saved));
    const size_t frames = controller.getInfo()->getFrames().size();
    check(frames == 2 * info.getFrames().size());
    controller.setMode(CReplayController::kModePlayback);
    controller.start();
    controller.setSpeed(4);
    for (size_t step = 0; step <= frames; ++step) {
        controller.update();
        const auto keys = controller.getVirtualKey();
        for (uint32_t key = 0; key < 16; ++key) {
            keys->isDown(key);
            keys->getHoldCount(key);
        }
    }
    check(controller.getState() == CReplayController::kStateFinished);
    return 0;
}
