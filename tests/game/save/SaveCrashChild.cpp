// The child of the crash test. Over and over it starts a saver (this program again, with the
// argument "save"), which writes the common save in its working directory again and again (global integer 1 counts the
// saves; the money and the number of stored items follow it), lets it run for a random moment, kills it with SIGKILL
// and reads "c000.bin" back: it must be whole, the save before the kill or a later one. The
// scripts are in "d000.bin" there.
//
//   test_save_crash_child KILLS SEED    prints one line per failure, then "done KILLS LATER"
//                                       (LATER: kills after which a newer save was found)
//   test_save_crash_child save          the saver: reads the save there, prints "ready" and saves
//                                       until it is killed
// Exit status 0 when every read found a whole save.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "game/save/CGameSaveController.h"
#include "platform/kernel/ChildProcess.h"
#include "tests/support/SaveGameWorld.h"

namespace {

// The saver: never returns.
[[noreturn]] void saveForever(SaveWorld::World& world, Fenwarrow::CGameSaveController& saves) {
    for (int32_t round = world.gameData->getGlobalInt(1) + 1;; ++round) {
        world.gameData->setGlobalInt(1, round);
        world.gameData->setPlayerMoney(round % 999999);
        world.gameData->getStorageItemList(round % 14)->push_back(world.factory.createItem(1));
        if (!saves.saveCommonData()) {
            std::_Exit(3);
        }
    }
}

// The saver's side: carries on from the save it finds, says when it is about to save, never
// returns.
[[noreturn]] void runSaver(SaveWorld::World& world, Fenwarrow::CGameSaveController& saves) {
    if (!saves.loadCommonData()) {
        std::fprintf(stderr, "c000.bin: the saver cannot read the save it starts from\n");
        std::_Exit(3);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    saveForever(world, saves);
}

// Starts a saver and waits until it is about to save; false, with a line, when it cannot.
bool startSaver(const std::filesystem::path& self, Platform::Kernel::ChildProcess& saver) {
    Platform::Kernel::ChildOptions options;
    options.arguments = {"save"};
    options.output = Platform::Kernel::ChildOutput::kPipe;
    if (!saver.start(self, options)) {
        std::fprintf(stderr, "the saver cannot be started: %s\n", saver.error().c_str());
        return false;
    }
    std::string said;
    while (said.find("ready\n") == std::string::npos) {
        const std::string piece = saver.readOutput();
        if (piece.empty()) {
            std::fprintf(stderr, "the saver ended before it was ready\n");
            return false;
        }
        said += piece;
    }
    return true;
}

std::size_t storedItems(Fenwarrow::CGameDataManager& data) {
    std::size_t stored = 0;
    for (int32_t category = 0; category < 14; ++category) {
        stored += data.getStorageItemList(category)->size();
    }
    return stored;
}

}  // namespace

int main(int argc, char** argv) {
    const bool saver = argc == 2 && std::string(argv[1]) == "save";
    if (argc != 3 && !saver) {
        std::fprintf(stderr, "usage: test_save_crash_child KILLS SEED | test_save_crash_child save\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::current_path();
    std::u16string base = Orvex::System::widen(folder.string());
    for (char16_t& c : base) {
        c = c == u'/' ? u'\\' : c;
    }
    Orvex::System::engineState().baseDirectoryW = base;
    // The saver opens the scripts its parent packed.
    SaveWorld::World world((folder / "d000.bin").string(), base + u"\\d000.bin", !saver);
    if (!world.ready) {
        std::fprintf(stderr, "d000.bin: the scripts cannot be packed or opened\n");
        return 1;
    }
    Fenwarrow::CGameSaveController saves(world.context, world.settings, 3);
    if (saver) {
        runSaver(world, saves);
    }
    const int kills = std::atoi(argv[1]);
    std::mt19937 random(static_cast<uint32_t>(std::atoi(argv[2])));
    const std::filesystem::path self = std::filesystem::absolute(argv[0]);
    const auto started = std::chrono::steady_clock::now();
    if (!saves.saveCommonData()) {  // round 0: the save there before the first kill
        std::fprintf(stderr, "c000.bin: the first save failed\n");
        return 1;
    }
    // The kills fall anywhere in the first three saves of a saver, whatever a save takes here.
    const auto saveMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    const uint32_t window = static_cast<uint32_t>(std::max<int64_t>(1000, 3 * saveMicros.count()));
    int failures = 0;
    int later = 0;
    int32_t lastRound = 0;
    std::fflush(stdout);
    for (int kill = 0; kill < kills; ++kill) {
        Platform::Kernel::ChildProcess saver;
        if (!startSaver(self, saver)) {
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % window));
        const Platform::Kernel::ChildEnd end = saver.kill();
        if (end.exited) {
            std::printf("kill %d: the saver ended by itself (status %d)\n", kill, end.exitCode);
            ++failures;
        }
        if (!saves.loadCommonData()) {
            std::printf("kill %d: c000.bin is not a whole save\n", kill);
            return 1;
        }
        const int32_t round = world.gameData->getGlobalInt(1);
        if (round < lastRound || world.gameData->getPlayerMoney() != round % 999999 ||
            storedItems(*world.gameData) != static_cast<std::size_t>(round)) {
            std::printf("kill %d: save %d does not hold what it was written with\n", kill, round);
            ++failures;
        }
        later += round != lastRound ? 1 : 0;
        lastRound = round;
    }
    std::printf("done %d %d\n", kills, later);
    return failures == 0 ? 0 : 1;
}
