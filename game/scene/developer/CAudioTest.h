#pragma once
// The developer's sound check (scene 18): the cursor keys play three copies of a jingle and a
// streamed piece; Z held plays without restarting, space stops everything. Each change of a
// sound's state is told on the debug output.
#include <array>
#include <memory>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"

namespace Fenwarrow::Scene {

class CAudioTest : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr const char16_t* kJingle = u"SE/jg000.wav";
    static constexpr const char16_t* kStream = u"BGM/test2.ogg";

    explicit CAudioTest(ISceneContext& context) : context_(context) {}

    bool initialize() override;
    bool update() override;
    bool draw() override;

    const std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource>& getSource(std::size_t index) const {
        return sources_.at(index);
    }

private:
    void reportStates();

    ISceneContext& context_;
    DeveloperConsole console_;
    std::array<std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource>, 4> sources_;
    // The state last told on the debug output; every sound starts stopped.
    std::array<uint32_t, 4> reportedStates_{};
};

}  // namespace Fenwarrow::Scene
