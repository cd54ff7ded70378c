// The child of the crash test. Over and over it forks a saver, which writes the common save in
// its working directory again and again (global integer 1 counts the saves; the money and the
// number of stored items follow it), lets it run for a random moment, kills it with SIGKILL
// and reads "c000.bin" back: it must be whole, the save before the kill or a later one. The
// scripts are in "d000.bin" there.
//
//   test_save_crash_child KILLS SEED    prints one line per failure, then "done KILLS LATER"
//                                       (LATER: kills after which a newer save was found)
// Exit status 0 when every read found a whole save.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "game/save/CGameSaveController.h"
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

std::size_t storedItems(Fenwarrow::CGameDataManager& data) {
    std::size_t stored = 0;
    for (int32_t category = 0; category < 14; ++category) {
        stored += data.getStorageItemList(category)->size();
    }
    return stored;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: test_save_crash_child KILLS SEED\n");
        return 2;
    }
    const int kills = std::atoi(argv[1]);
    std::mt19937 random(static_cast<uint32_t>(std::atoi(argv[2])));
    const std::filesystem::path folder = std::filesystem::current_path();
    std::u16string base = Orvex::System::widen(folder.string());
    for (char16_t& c : base) {
        c = c == u'/' ? u'\\' : c;
    }
    Orvex::System::engineState().baseDirectoryW = base;
    SaveWorld::World world((folder / "d000.bin").string(), base + u"\\d000.bin");
    if (!world.ready) {
        std::fprintf(stderr, "d000.bin: the scripts cannot be packed or opened\n");
        return 1;
    }
    Fenwarrow::CGameSaveController saves(world.context, world.settings, 3);
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
        const pid_t saver = fork();
        if (saver < 0) {
            std::fprintf(stderr, "the saver cannot be started\n");
            return 1;
        }
        if (saver == 0) {
            saveForever(world, saves);
        }
        usleep(static_cast<useconds_t>(random() % window));
        ::kill(saver, SIGKILL);
        int status = 0;
        waitpid(saver, &status, 0);
        if (!WIFSIGNALED(status)) {
            std::printf("kill %d: the saver ended by itself (status %d)\n", kill, status);
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
