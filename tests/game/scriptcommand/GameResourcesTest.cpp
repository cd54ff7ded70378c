// The game's own music, system sounds and common textures, handed to a script by the Game
// module, driven and drawn through the Audio and Graphics modules of the same script state: on
// the audio device over the manually pumped output and a renderer on the software device.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "engine/audio/XAudio2Device.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/scriptcommand/CAudioCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "graphics/include/IOrvexGraphics.h"
#include "platform/gpu/GpuDevice.h"
#include "tests/game/shell/GameTestContext.h"
#include "tools/soundgen/SoundEncoding.h"

namespace {

using Fenwarrow::ScriptCommand::CAudioCommand;
using Fenwarrow::ScriptCommand::CGameCommand;
using Fenwarrow::ScriptCommand::CGraphicsCommand;
using Orvex::Graphics::IOrvexTexture;
using Orvex::Script::CScriptValue;

constexpr int64_t kPlaying = Orvex::AudioSystem::kAudioStatePlaying;
constexpr int64_t kPaused = Orvex::AudioSystem::kAudioStatePaused;
constexpr uint32_t kRate = 48000;
constexpr uint32_t kSize = 64;
constexpr uint32_t kFrameColour = 0x20C040;  // common texture 0
constexpr uint32_t kIconColour = 0xC02040;   // common texture 1

constexpr const char* kScript = R"lua(
function playMusic(path) Game.System.playBGM(path, true) end
function stopMusic() Game.System.stopBGM() end
function music() return Game.System.getBGM() end
function sound(index) return Game.CommonData.getSystemSE(index) end
function texture(index) return Game.CommonData.getTexture(index) end
-- The source's state, or -1 when the module gives no result for it.
function status(s)
  local n, state = select("#", Audio.getStatus(s)), Audio.getStatus(s)
  if n == 0 then return -1 end
  return state
end
function act(name, s) Audio[name](s) return status(s) end
drawn = nil
function paint()
  local s = Graphics.SpriteDraw
  s.beginSprite()
  s.draw(drawn, 8, 8, 24, 24, 0, 0, 16, 16, 0, 1, 1, 1, 1)
  s.endSprite()
end
function queuePaint(t) drawn = t Graphics.addRenderQueue("Floor", "paint") end
)lua";

SoundGen::PcmClip tone(double seconds) {
    SoundGen::PcmClip clip;
    clip.sampleRate = kRate;
    clip.channels = 2;
    const auto frames = static_cast<size_t>(seconds * kRate);
    for (size_t i = 0; i < frames; ++i) {
        const auto value = static_cast<int16_t>(std::lround(std::sin(0.05 * static_cast<double>(i)) * 12000.0));
        clip.samples.push_back(value);
        clip.samples.push_back(value);
    }
    return clip;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> solidPng(uint32_t colour) {
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < 16 * 16; ++i) {
        pixels.insert(pixels.end(), {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 0xFF});
    }
    std::vector<uint8_t> png;
    EXPECT_NE(0, stbi_write_png_to_func(&appendBytes, &png, 16, 16, 4, pixels.data(), 16 * 4));
    return png;
}

class GameResources : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<Orvex::OxOrvexManager>();
        device_ = std::make_shared<Orvex::AudioSystem::XAudio2::XAudio2Device>(
            Platform::Audio::EngineOptions{Platform::Audio::OutputMode::Manual, kRate});
        ASSERT_TRUE(device_->initialize());
        context_.audioDevice = device_;

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics_);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = kSize;
        parameters.height = kSize;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->createRenderer(&renderer_));

        std::vector<Orvex::Packer::PackerEntry> entries = {
            {u"common\\texture\\generalwindow\\frame.png", solidPng(kFrameColour)},
            {u"common\\texture\\generalwindow\\icon.png", solidPng(kIconColour)},
            {u"bgm\\m.ogg", SoundGen::encodeVorbis(tone(1.0), 0.3f, {})}};
        for (const char16_t* folder : {u"se\\systemse\\se00", u"se\\jingle\\jg00"}) {
            for (const char16_t digit : std::u16string(u"01234")) {
                entries.push_back({folder + std::u16string(1, digit) + u".wav", SoundGen::encodeWav(tone(0.5))});
            }
        }
        ScriptTest::openArchive(folder_, context_.reader, entries);
        common_ = std::make_unique<Fenwarrow::CCommonDataManager>();
        ASSERT_TRUE(common_->initialize(context_.reader, renderer_->getTextureManager(), *device_));
        context_.commonData = common_.get();
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = data_.get();

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CGameCommand>(context_)));
        ASSERT_TRUE(host_.attachCommand(
            std::make_shared<CAudioCommand>(device_, context_.reader, context_.reader, nullptr, &context_)));
        ASSERT_TRUE(
            host_.attachCommand(std::make_shared<CGraphicsCommand>(renderer_, context_.reader, &queue_, &context_)));
        ASSERT_TRUE(host_.runMain());
    }

    void TearDown() override {
        queue_.clear();
        host_.close();
        context_.gameData = nullptr;
        data_.reset();
        context_.commonData = nullptr;
        common_.reset();
        if (device_) {
            device_->stopAll();
        }
        context_.audioDevice.reset();
        device_.reset();
        if (renderer_ != nullptr) {
            EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->shutdown()) << "textures still held";
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    // Script numbers come back as integers or as numbers.
    static int64_t number(const CScriptValue& value) {
        return value.getType() == CScriptValue::kInteger ? value.asInteger() : static_cast<int64_t>(value.asNumber());
    }

    CScriptValue get(const char* name, std::vector<CScriptValue> args = {}) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, name, 1, args);
        return r.empty() ? CScriptValue() : r[0];
    }
    int64_t act(const char* name, const CScriptValue& source) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, "act", 1, {CScriptValue(std::string(name)), source});
        return r.empty() ? -2 : number(r[0]);
    }
    int64_t status(const CScriptValue& source) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, "status", 1, {source});
        return r.empty() ? -2 : number(r[0]);
    }

    // Draws the script's queued calls into a frame and gives the colour at (x, y).
    uint32_t paintedAt(const CScriptValue& texture, int x, int y) {
        host_.callFunction(results_, "queuePaint", 0, {texture});
        renderer_->clear(1, 0xFF000000u, 1.0f, 0);
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->beginScene());
        queue_.sort();
        queue_.draw();
        queue_.clear();
        renderer_->endScene();
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->present());
        const auto frame = graphics_->getDevice()->getFrameMailbox()->latest();
        return frame != nullptr ? frame->pixels[size_t(y) * kSize + size_t(x)] & 0xFFFFFF : 0xFFFFFFFF;
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_;
    std::shared_ptr<Orvex::AudioSystem::XAudio2::XAudio2Device> device_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    Orvex::Graphics::OxRenderQueue queue_;
    TempFolder folder_;
    GameTest::TestGameContext context_;
    std::unique_ptr<Fenwarrow::CCommonDataManager> common_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    Fenwarrow::CScriptController host_{context_};
    std::vector<CScriptValue> results_;
};

TEST_F(GameResources, ScriptsDriveTheGamesMusicAndSoundsButNothingElse) {
    host_.callFunction(results_, "playMusic", 0, {CScriptValue(std::string("BGM/m.ogg"))});
    const auto playing = data_->getBGMSource();
    ASSERT_NE(playing, nullptr);
    const CScriptValue music = get("music");
    ASSERT_EQ(playing.get(), music.asPointer());
    EXPECT_EQ(kPlaying, status(music));
    EXPECT_EQ(kPaused, act("pause", music));
    EXPECT_EQ(Orvex::AudioSystem::kAudioStatePaused, playing->getState());
    EXPECT_EQ(kPlaying, act("replay", music));
    act("deleteAudioSource", music);
    EXPECT_EQ(playing, data_->getBGMSource()) << "a script does not delete the game's music";
    EXPECT_EQ(kPlaying, status(music));

    // A system sound counts only once the Game module has handed it to this state.
    const auto decide = context_.getSystemSE(1);
    ASSERT_NE(decide, nullptr);
    EXPECT_EQ(-1, act("play", CScriptValue(static_cast<void*>(decide.get()))));
    EXPECT_NE(Orvex::AudioSystem::kAudioStatePlaying, decide->getState());
    const CScriptValue handed = get("sound", {CScriptValue::fromInteger(1)});
    ASSERT_EQ(decide.get(), handed.asPointer());
    EXPECT_EQ(kPlaying, act("play", handed));
    EXPECT_EQ(Orvex::AudioSystem::kAudioStatePlaying, decide->getState());

    // A handed object of another kind is no source.
    EXPECT_EQ(-1, status(get("texture", {CScriptValue::fromInteger(0)})));

    // Music that has stopped is gone; its old address is refused.
    host_.callFunction(results_, "stopMusic", 0, {});
    EXPECT_EQ(nullptr, data_->getBGMSource());
    EXPECT_EQ(-1, status(music));
    EXPECT_EQ(-1, act("play", music));
}

TEST_F(GameResources, ScriptsDrawTheCommonTexturesTheyAreHanded) {
    IOrvexTexture* frame = common_->getTexture(0);
    ASSERT_NE(frame, nullptr);
    const uint32_t references = frame->release();

    const CScriptValue handed = get("texture", {CScriptValue::fromInteger(0)});
    ASSERT_EQ(frame, handed.asPointer());
    EXPECT_EQ(kFrameColour, paintedAt(handed, 16, 16));
    EXPECT_EQ(0u, paintedAt(handed, 40, 40)) << "drawn where the script said only";
    get("texture", {CScriptValue::fromInteger(0)});
    EXPECT_EQ(references, frame->getRefCount()) << "the Game module keeps no reference of its own";

    // The other common texture before the script was handed it, a music source handed as
    // something else, and a number: nothing is drawn.
    IOrvexTexture* icon = common_->getTexture(1);
    ASSERT_NE(icon, nullptr);
    icon->release();
    EXPECT_EQ(0u, paintedAt(CScriptValue(static_cast<void*>(icon)), 16, 16));
    host_.callFunction(results_, "playMusic", 0, {CScriptValue(std::string("BGM/m.ogg"))});
    EXPECT_EQ(0u, paintedAt(get("music"), 16, 16));
    EXPECT_EQ(0u, paintedAt(CScriptValue(12.0), 16, 16));
    EXPECT_EQ(kIconColour, paintedAt(get("texture", {CScriptValue::fromInteger(1)}), 16, 16));
}

}  // namespace
