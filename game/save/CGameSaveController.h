#pragma once
// The game's two save files and what goes into them: the common save "c000.bin" (everything
// kept across runs) and the suspend save "c001.bin" (one floor in progress). Each operation
// makes its own serializer and container on the stack; nothing is kept between calls but the
// files and the game data.
//
// A common save that cannot be read is never written over: it is set aside under a new name
// ("c000.bin.bad", or the first free "c000.bin.badN") before anything can save again, the game
// data is reset as if there had been no save, and a line on the error output says so. A damaged
// suspend save is set aside the same way ("c001.bin.bad"), so that the end of the run, which
// deletes "c001.bin", cannot take it; the game goes on as without a suspended game. A sound
// suspend save of another suspend (its id no longer matches) stays where it is.
#include <cstdint>
#include <string>

namespace Fenwarrow {

class CSettingDataManager;
class IGameContext;
namespace Dungeon {
class CDungeon;
}

class CGameSaveController {
public:
    static constexpr const char16_t* kCommonSavePath = u"c000.bin";
    static constexpr const char16_t* kSuspendSavePath = u"c001.bin";
    // Global flag 15: a suspended game exists; global integer 16: the id tying the two files.
    static constexpr int32_t kSuspendedFlag = 15;
    static constexpr int32_t kSuspendIdInt = 16;
    static constexpr int32_t kMaxSuspendId = 999999999;

    // The context must have a game data manager. The scene id is that of the scene on top of
    // the stack, which the common save records.
    CGameSaveController(IGameContext& game, CSettingDataManager& settings, int32_t currentSceneId);
    CGameSaveController(const CGameSaveController&) = delete;
    CGameSaveController& operator=(const CGameSaveController&) = delete;
    virtual ~CGameSaveController() = default;

    bool saveCommonData();
    // False when there is no common save or it cannot be read (then set aside, see above). An
    // old-format file is migrated; the next saveCommonData writes it in the current format.
    bool loadCommonData();

    // Marks the game as suspended under a new id, writes the common save, then the floor into
    // the suspend save.
    bool saveSuspendedGame(Dungeon::CDungeon& floor);
    // Reads the common save and the floor back; the id is then cleared and the common save
    // written, so the same suspend save never resumes twice.
    bool loadSuspendedGame(Dungeon::CDungeon& floor);
    // Which check refused the suspend save in the last loadSuspendedGame, and the name a
    // damaged one was given; empty when none.
    const std::string& getSuspendLoadError() const { return suspendError_; }
    const std::u16string& getSuspendSetAsidePath() const { return suspendSetAsidePath_; }

    // The name a damaged common save was given by the last loadCommonData; empty when none.
    const std::u16string& getSetAsidePath() const { return setAsidePath_; }
    // Which check refused the common save in the last loadCommonData; empty when none did.
    const std::string& getLoadError() const { return loadError_; }

private:
    bool readCommonData();
    void setAsideDamagedSave();
    // Gives a damaged file the first free name of path + ".bad", path + ".bad1", ... and
    // returns it, saying on the error output which file (`what`) could not be read, why, where
    // it is kept and how the game goes on (`without`); empty, said as such, when no name could
    // be taken.
    static std::u16string setAside(const std::u16string& path, const std::u16string& what, const std::string& reason,
                                   const std::u16string& without);
    void setAsideSuspendSave(const std::string& reason);

    IGameContext& game_;
    CSettingDataManager& settings_;
    int32_t currentSceneId_;
    std::u16string setAsidePath_;
    std::string loadError_;
    std::string suspendError_;
    std::u16string suspendSetAsidePath_;
};

}  // namespace Fenwarrow
