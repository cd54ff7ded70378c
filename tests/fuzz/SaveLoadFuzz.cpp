// The common save's body readers, current and old, over arbitrary bodies after their fixed
// head (the globals, and the rankings of the current format), which cannot fail: a damaged
// body fails the load and leaves the game data as a reset does, with no read past the data and
// no allocation beyond what the bytes could hold. The first input byte chooses the format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/save/CGameSerializer.h"
#include "game/save/COldGameSerializer.h"
#include "platform/kernel/Process.h"
#include "tests/support/SaveGameWorld.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

SaveWorld::World& world() {
    static SaveWorld::World* made = [] {
        const std::filesystem::path archive =
            std::filesystem::temp_directory_path() /
            ("orvex-fuzz-load-" + std::to_string(Platform::Kernel::processId()) + ".bin");
        auto* w = new SaveWorld::World(archive.string(), Orvex::System::widen(archive.string()));
        check(w->ready);
        return w;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    SaveWorld::World& w = world();
    const bool old = (data[0] & 1) != 0;
    constexpr size_t kGlobals = 1024 + 4 * 1024 + 4 * 1024;
    constexpr size_t kRankings = 3 * 5 * 2404;
    Orvex::Serialization::OxSerializer body;
    const std::vector<uint8_t> head(old ? kGlobals : kGlobals + kRankings, 0);
    body.writeBlock(head.data(), head.size());
    body.writeBlock(data + 1, size - 1);
    body.setWriting(false);
    w.gameData->setPlayerMoney(7);
    const bool loaded = old ? Fenwarrow::COldGameSerializer(w.context, w.settings).deserialize(body)
                            : Fenwarrow::CGameSerializer(w.context, w.settings, 0).deserialize(body);
    check(body.getPosition() <= body.getBuffer().size());
    if (!loaded) {
        check(w.gameData->getPlayerMoney() == 0 && w.gameData->getPlayer() != nullptr);
    }
    check(old || w.gameData->getPlayerMoney() <= Fenwarrow::CGameDataManager::kMaxMoney);
    return 0;
}
