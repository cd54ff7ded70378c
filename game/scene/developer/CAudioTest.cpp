#include "game/scene/developer/CAudioTest.h"

#include "engine/audio/OxAudioSystem.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/singleton.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kWaveSource = 0;
constexpr uint32_t kStreamSource = 1;
}  // namespace

bool CAudioTest::initialize() {
    // Without a keyboard the scene still runs, driven by the virtual keys.
    console_.openKeyboard();
    if (!console_.createFont(context_, 12)) {
        return false;
    }
    auto device = context_.getAudioDevice();
    if (device == nullptr) {
        return true;  // no sound here: the page still shows
    }
    IGameContext& game = context_.getGameContext();
    for (std::size_t i = 0; i < 3; ++i) {
        sources_[i] = device->createSource(kJingle, &game.getArchiveReader(), kWaveSource);
    }
    sources_[3] = device->createSource(kStream, &game.getMusicReader(), kStreamSource);
    return true;
}

bool CAudioTest::update() {
    if (auto* audio = Orvex::System::singleton<Orvex::AudioSystem::OxAudioSystem>::existingInstance();
        audio != nullptr) {
        audio->update(context_.getFrameTime());
    }
    auto* keys = context_.getVirtualKey();
    // Virtual keys 0 to 3 (up, right, down, left) and 4 and 6 stand in for the keyboard's
    // cursor keys, Z and space when there is no keyboard.
    const bool keepPlaying = console_.hasKeyboard() ? console_.isDown(kKeyZ) : keys != nullptr && keys->isDown(4);
    const uint32_t cursorKeys[4] = {kKeyUp, kKeyRight, kKeyDown, kKeyLeft};
    for (uint32_t i = 0; i < 4; ++i) {
        if (sources_[i] != nullptr && console_.isPushedOr(cursorKeys[i], keys, i)) {
            if (keepPlaying) {
                sources_[i]->play();
            } else {
                sources_[i]->playNew();
            }
        }
    }
    if (console_.isPushedOr(kKeySpace, keys, 6)) {
        for (auto& source : sources_) {
            if (source != nullptr) {
                source->stop();
            }
        }
    }
    reportStates();
    return true;
}

// A key's effect cannot be seen on the page, so each change of a sound's state (a key starting
// or stopping it, or its end) is told on the debug output.
void CAudioTest::reportStates() {
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (sources_[i] == nullptr) {
            continue;
        }
        const uint32_t state = sources_[i]->getState();
        if (state == reportedStates_[i]) {
            continue;
        }
        reportedStates_[i] = state;
        const char16_t* shown = state == Orvex::AudioSystem::kAudioStatePlaying  ? u"playing"
                                : state == Orvex::AudioSystem::kAudioStatePaused ? u"paused"
                                                                                 : u"stopped";
        Orvex::System::debugOutput(u"AudioTest: sound " + std::u16string(1, char16_t(u'0' + i)) + u" (" +
                                   (i == 3 ? kStream : kJingle) + u") " + shown + u"\n");
    }
}

bool CAudioTest::draw() {
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        if (console_.begin()) {
            console_.drawText(10, 10, u"カーソルキーを押すと音が鳴るよ。");
            console_.end();
        }
    });
    return true;
}

}  // namespace Fenwarrow::Scene
