#pragma once
// The title screen. Its menu, pictures and sounds are the script "Script/Menu/DemoTitle.lua" in
// a script host of the scene's own; the scene adds the looping background movie and the fade-in,
// and carries out what the script's "update" returns: a new game, loading or saving the common
// save, a replay, the extras or quitting, each exit behind a fade-out.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/movie/TheoraPlayer.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow {
class CScriptController;
}

namespace Fenwarrow::Scene {

class CTitle : public Orvex::SceneController::OxSceneBase {
public:
    // What the script's "update" asks for.
    enum Code : int32_t {
        kNone = 0,
        kNewGame = 1,
        kLoad = 2,
        kSave = 3,
        kAcknowledge = 4,
        kReplay = 5,
        kQuit = 6,
        kExtras = 7,
    };
    // What "setResult" tells the script of a load, save or replay load.
    static constexpr int32_t kResultSuccess = 0;
    static constexpr int32_t kResultFailure = 1;

    static constexpr const char16_t* kScriptPath = u"Script/Menu/DemoTitle.lua";
    static constexpr uint32_t kScriptMemory = 1048576;
    static constexpr const char16_t* kMoviePath = u"Movie/title.ogv";
    static constexpr const char16_t* kFirstDungeon = u"Dungeon/DEMO10/00/00/001.lua";
    static constexpr const char16_t* kCommonSave = u"c000.bin";
    static constexpr const char16_t* kSuspendSave = u"c001.bin";
    static constexpr float kFadeSeconds = 0.7f;

    explicit CTitle(ISceneContext& context);
    ~CTitle() override;
    CTitle(const CTitle&) = delete;
    CTitle& operator=(const CTitle&) = delete;

    bool initialize() override;
    bool update() override;
    bool draw() override;

    // Replaces the background movie; a path the movie reader cannot open leaves none.
    void playMovie(const std::u16string& path, uint32_t priority, bool loop);
    void stopMovie();
    void onFadeInFinished();
    void quitApplication();

    bool isInputBlocked() const { return inputBlocked_; }
    bool isLeaving() const { return leaving_; }
    bool hasCommonSave() const { return hasCommonSave_; }
    bool hasMovie() const { return moviePlayer_ != nullptr; }
    CScriptController* getScript() const { return script_.get(); }

private:
    bool attachModules();
    void dispatch(int32_t code);
    void setResult(int32_t result);
    // Starts the fade-out that ends the scene with `onFaded`.
    void leave(std::function<void()> onFaded);
    void startNewGame();
    // False (and the title stays) when the replay cannot be read.
    bool startReplay();
    void setDungeonScriptPath(const std::u16string& path);

    ISceneContext& context_;
    std::shared_ptr<CScriptController> script_;
    bool inputBlocked_ = true;
    bool leaving_ = false;
    bool drawScript_ = true;
    bool hasCommonSave_ = false;
    std::unique_ptr<Theora::TheoraPlayer> moviePlayer_;
    uint32_t moviePriority_ = 0;
    // The effects whose completion calls back into this scene, and their callback ids: the
    // callbacks are removed when the scene goes first.
    std::shared_ptr<Orvex::Graphics::OxFadeScreenEffect> fadeIn_;
    uint32_t fadeInCallback_ = 0;
    std::shared_ptr<Orvex::Graphics::OxFadeScreenEffect> fadeOut_;
    uint32_t fadeOutCallback_ = 0;
};

}  // namespace Fenwarrow::Scene
