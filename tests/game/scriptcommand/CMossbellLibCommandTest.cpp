#include "game/scriptcommand/CMossbellLibCommand.h"

#include <gtest/gtest.h>

#include <functional>

#include <stb_image_write.h>

#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "graphics/include/IOrvexGraphics.h"
#include "platform/gpu/GpuDevice.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::ScriptCommand::CMossbellLibCommand;
using Orvex::MossbellLib::OxMADObject;
using Orvex::Script::CScriptValue;

constexpr const char* kScript = R"lua(
function build()
  local o = MossbellLib.newObject()
  local texture = MossbellLib.addTexture(o, "Image/chips.png")
  local missing = select("#", MossbellLib.addTexture(o, "Image/none.png"))
  MossbellLib.create(o, 64, 32, 0.25)
  MossbellLib.AnimationData.setColor(o, -1, 0.5, 0.5, 0.5, 0.5)
  MossbellLib.AnimationData.setColor(o, 2, 1, 0, 0, 1)
  MossbellLib.AnimationData.setColor(o, 9, 0, 0, 1, 1)  -- past the end: nothing
  MossbellLib.ChipData.setChipRectangle(o, 1, 2, 3, 10, 20)
  local range = MossbellLib.addPlayRangeData(o, 1, 2)
  MossbellLib.setPlayRangeName(o, range, "Walk_2")
  MossbellLib.setFPS(o, 0)  -- refused
  MossbellLib.play(o)
  MossbellLib.pause(o)
  return o, texture, missing, MossbellLib.getTextureCount(o), MossbellLib.getChipDataCount(o),
         MossbellLib.getAnimationDataCount(o), MossbellLib.getPlayRangeIndex(o, "Walk_2"),
         MossbellLib.getPlayRangeIndex(o, "Sleep"), MossbellLib.getPlayRangeName(o, range),
         MossbellLib.isStop(o)
end

-- Every reader of an object that is not one of ours reads nothing.
function foreign(o)
  return select("#", MossbellLib.getTextureCount(o)), select("#", MossbellLib.isStop(o)),
         select("#", MossbellLib.addChipData(o, 0))
end

function cut(o, size, chip) MossbellLib.create(o, size, chip, 1) return MossbellLib.getChipDataCount(o) end
function delete(o) MossbellLib.deleteObject(o) end

-- Calls a module function by its dotted name, so that a table of cases reaches any of them.
function call(path, ...)
  local f = _G
  for name in string.gmatch(path, "[^%.]+") do f = f[name] end
  return f(...)
end
function count(path, ...) return select("#", call(path, ...)) end

-- Four quarter-second frames cut from the chips texture.
function quarters()
  local o = MossbellLib.newObject()
  MossbellLib.addTexture(o, "Image/chips.png")
  MossbellLib.create(o, 64, 32, 0.25)
  return o
end

-- Three frames of one 8 x 8 chip, 0.5, 0.25 and 0.25 seconds long.
function frames()
  local o = MossbellLib.newObject()
  MossbellLib.addTexture(o, "Image/chips.png")
  local chip = MossbellLib.addChipData(o, 0)
  MossbellLib.ChipData.setChipRectangle(o, chip, 0, 0, 8, 8)
  local first = MossbellLib.addAnimationData(o, chip, 0.5)
  MossbellLib.addAnimationData(o, chip, 0.25)
  local last = MossbellLib.addAnimationData(o, chip, 0.25)
  local refused = select("#", MossbellLib.addAnimationData(o, -1, 1))
  return o, first, last, refused, MossbellLib.getAnimationDataCount(o)
end

-- "Idle" over frame 0, "Walk" over frames 1 and 2.
function ranges(o)
  local idle = MossbellLib.addPlayRangeData(o, 0, 0)
  MossbellLib.setPlayRangeName(o, idle, "Idle")
  local walk = MossbellLib.addPlayRangeData(o, 1, 2)
  MossbellLib.setPlayRangeName(o, walk, "Walk")
  return MossbellLib.getPlayRangeDataCount(o)
end
function playingRanges(o)
  return MossbellLib.isPlayingFromPlayRangeIndex(o, 0), MossbellLib.isPlayingFromPlayRangeIndex(o, 1),
         MossbellLib.isPlayingFromPlayRangeIndex(o, 2), MossbellLib.isPlayingFromPlayRangeIndex(o, -1)
end

-- Plays from the start with the loop flag for `steps` updates of `dt` seconds.
function run(o, loop, dt, steps)
  MossbellLib.setLoopPlay(o, loop)
  MossbellLib.play(o)
  for i = 1, steps do MossbellLib.update(o, dt) end
  return MossbellLib.getCurrentTime(o), MossbellLib.isStop(o)
end
function step(o, dt) MossbellLib.update(o, dt) return MossbellLib.getCurrentTime(o), MossbellLib.isStop(o) end

function lists(o)
  return MossbellLib.getTextureCount(o), MossbellLib.getChipDataCount(o), MossbellLib.getAnimationDataCount(o),
         MossbellLib.getPlayRangeDataCount(o), MossbellLib.isStop(o), MossbellLib.getCurrentTime(o)
end
)lua";

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

CScriptValue integer(int32_t value) { return CScriptValue::fromInteger(value); }
CScriptValue text(const char* value) { return CScriptValue(std::string(value)); }
CScriptValue number(double value) { return CScriptValue(value); }

constexpr uint32_t kSide = 64;

void writeChipsPng(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

class MossbellLibModule : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> pixels(64 * 64 * 4, 0xFF);
        std::vector<uint8_t> png;
        ASSERT_NE(0, stbi_write_png_to_func(&writeChipsPng, &png, 64, 64, 4, pixels.data(), 64 * 4));
        ScriptTest::openArchive(folder_, services_.reader, {{u"image\\chips.png", png}});

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics_);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = kSide;
        parameters.height = kSide;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->createRenderer(&renderer_));

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        module_ = std::make_shared<CMossbellLibCommand>(renderer_, services_.reader);
        ASSERT_TRUE(host_.attachCommand(module_));
        ASSERT_TRUE(host_.runMain());
    }

    void TearDown() override {
        host_.close();
        module_.reset();
        if (renderer_ != nullptr) {
            // Fails when the module kept a texture after it was destroyed.
            EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->shutdown()) << "textures still held";
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
    }

    std::vector<CScriptValue> call(const char* name, int count, std::vector<CScriptValue> args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return results;
    }

    // A new object made by the script function, with its other results in script order.
    OxMADObject* make(const char* function, int count, std::vector<CScriptValue>* others = nullptr) {
        auto r = call(function, count);
        if (r.size() != static_cast<std::size_t>(count)) {
            ADD_FAILURE() << function;
            return nullptr;
        }
        auto* object = static_cast<OxMADObject*>(r.back().asPointer());
        EXPECT_TRUE(module_->ownsObject(object)) << function;
        if (others != nullptr) {
            others->assign(r.rbegin() + 1, r.rend());
        }
        return object;
    }

    // The frame after the script function drew into it, as 0xRRGGBB over black.
    std::vector<uint32_t> drawn(const char* function, std::vector<CScriptValue> args) {
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->clear(1, 0xFF000000u, 1.0f, 0));
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->beginScene());
        renderer_->getSpriteDraw()->begin();
        call(function, 0, std::move(args));
        renderer_->getSpriteDraw()->end();
        renderer_->endScene();
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->present());
        const auto frame = graphics_->getDevice()->getFrameMailbox()->latest();
        if (frame == nullptr || frame->width != kSide || frame->height != kSide) {
            ADD_FAILURE() << "no frame";
            return {};
        }
        std::vector<uint32_t> rgb(frame->pixels);
        for (uint32_t& pixel : rgb) {
            pixel &= 0xFFFFFF;
        }
        return rgb;
    }

    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    CScriptController host_{services_};
    std::shared_ptr<CMossbellLibCommand> module_;
};

TEST_F(MossbellLibModule, BuildsAnAnimationFromScript) {
    const auto r = call("build", 10);
    ASSERT_EQ(10u, r.size());
    // Results come top down: the last returned value first.
    auto* object = static_cast<OxMADObject*>(r[9].asPointer());
    ASSERT_TRUE(module_->ownsObject(object));
    EXPECT_EQ(0, valueOf(r[8])) << "texture index";
    EXPECT_EQ(0, valueOf(r[7])) << "a missing file gives no result";
    EXPECT_EQ(1, valueOf(r[6])) << "texture count unchanged by the missing file";
    EXPECT_EQ(4, valueOf(r[5])) << "64 cut into 32-pixel chips";
    EXPECT_EQ(4, valueOf(r[4])) << "a frame per chip";
    EXPECT_EQ(0, valueOf(r[3]));
    EXPECT_EQ(-1, valueOf(r[2])) << "no play range of that name";
    EXPECT_EQ("Walk_2", r[1].getText());
    EXPECT_EQ(0, valueOf(r[0])) << "a paused object is not stopped";

    const auto& frames = object->getAnimationDataList();
    EXPECT_FLOAT_EQ(0.5f, frames.at(0)->color[0]) << "index -1 reaches every frame";
    EXPECT_FLOAT_EQ(0.5f, frames.at(3)->color[2]);
    EXPECT_FLOAT_EQ(1.0f, frames.at(2)->color[0]) << "index 2 only the third";
    EXPECT_FLOAT_EQ(0.0f, frames.at(2)->color[2]);
    const auto chip = object->getChipList().at(1);
    EXPECT_FLOAT_EQ(12.0f, chip->right);
    EXPECT_FLOAT_EQ(23.0f, chip->bottom);
    EXPECT_FLOAT_EQ(60.0f, object->getFPS()) << "a rate not above 0 is refused";
    EXPECT_EQ(OxMADObject::kPaused, object->getState());
}

TEST_F(MossbellLibModule, TakesOnlyItsOwnOrLentObjects) {
    OxMADObject stranger;
    const std::vector<CScriptValue> strangerArg{CScriptValue(static_cast<void*>(&stranger))};
    for (const auto& args : {strangerArg, std::vector<CScriptValue>{integer(42)}}) {
        const auto r = call("foreign", 3, args);
        ASSERT_EQ(3u, r.size());
        for (const auto& value : r) {
            EXPECT_EQ(0, valueOf(value));
        }
    }
    EXPECT_EQ(0u, stranger.getChipList().size());

    // The sprite a host lends its script is taken like one of the module's own.
    Fenwarrow::ScriptArguments::lendObject(host_.getLuaState(), &stranger);
    for (const auto& value : call("foreign", 3, strangerArg)) {
        EXPECT_EQ(1, valueOf(value));
    }
    EXPECT_EQ(1u, stranger.getChipList().size());
    Fenwarrow::ScriptArguments::withdrawObject(host_.getLuaState(), &stranger);
    EXPECT_EQ(0, valueOf(call("foreign", 3, strangerArg)[0]));

    // A deleted object is refused afterwards, though its address is still in the script.
    auto* object = static_cast<OxMADObject*>(call("build", 10)[9].asPointer());
    const CScriptValue handle(static_cast<void*>(object));
    call("delete", 0, {handle});
    EXPECT_FALSE(module_->ownsObject(object));
    EXPECT_EQ(0, valueOf(call("foreign", 3, {handle})[0]));
}

TEST_F(MossbellLibModule, RefusesACutWithoutBound) {
    auto* object = static_cast<OxMADObject*>(call("build", 10)[9].asPointer());
    const CScriptValue handle(static_cast<void*>(object));
    const auto before = object->getChipList().size();
    for (const auto& [size, chip] : {std::pair{1 << 20, 1}, {64, 0}, {-64, 32}}) {
        call("cut", 1, {handle, integer(size), integer(chip)});
        EXPECT_EQ(before, object->getChipList().size()) << size << " / " << chip;
    }
}

TEST_F(MossbellLibModule, PlaysThroughTimeStopsAndLoops) {
    struct Case {
        int loop;
        double step;
        int steps;
        double time;
        bool stopped;
    };
    // Four frames of 0.25 s. Without the loop the update that passes the last frame stops the
    // object and rewinds it; with it the time wraps.
    const Case cases[] = {
        {0, 0.3, 2, 0.6, false},
        {0, 0.3, 5, 0.0, true},
        {1, 0.3, 5, 0.5, false},
        {1, 0.3, 0, 0.0, false},
    };
    for (const Case& c : cases) {
        OxMADObject* object = make("quarters", 1);
        ASSERT_NE(nullptr, object);
        const CScriptValue handle(static_cast<void*>(object));
        const auto r = call("run", 2, {handle, integer(c.loop), number(c.step), integer(c.steps)});
        ASSERT_EQ(2u, r.size());
        EXPECT_NEAR(c.time, valueOf(r[1]), 1e-5) << c.loop << " / " << c.steps;
        EXPECT_EQ(c.stopped ? 1 : 0, valueOf(r[0])) << c.loop << " / " << c.steps;
        EXPECT_EQ(c.loop != 0, object->getLoopPlay());
    }

    // A paused object keeps its time; a stopped one is rewound and stays so.
    OxMADObject* object = make("quarters", 1);
    ASSERT_NE(nullptr, object);
    const CScriptValue handle(static_cast<void*>(object));
    call("run", 2, {handle, integer(0), number(0.3), integer(2)});
    call("call", 0, {text("MossbellLib.pause"), handle});
    auto r = call("step", 2, {handle, number(0.3)});
    EXPECT_NEAR(0.6, valueOf(r[1]), 1e-5) << "paused";
    EXPECT_EQ(0, valueOf(r[0])) << "paused";
    call("call", 0, {text("MossbellLib.stop"), handle});
    EXPECT_EQ(OxMADObject::kStopped, object->getState());
    r = call("step", 2, {handle, number(0.3)});
    EXPECT_EQ(0, valueOf(r[1])) << "stopped";
    EXPECT_EQ(1, valueOf(r[0])) << "stopped";

    // The rate is the whole number given; one not above 0 is refused.
    for (const auto& [given, kept] : {std::pair{30.0, 30.0f}, {24.9, 24.0f}, {-5.0, 24.0f}}) {
        call("call", 0, {text("MossbellLib.setFPS"), handle, number(given)});
        EXPECT_FLOAT_EQ(kept, object->getFPS()) << given;
    }
}

TEST_F(MossbellLibModule, AddedFramesTakeTheEnginesDefaults) {
    std::vector<CScriptValue> r;
    OxMADObject* object = make("frames", 5, &r);
    ASSERT_NE(nullptr, object);
    ASSERT_EQ(4u, r.size());
    EXPECT_EQ(0, valueOf(r[0])) << "the first frame's index";
    EXPECT_EQ(2, valueOf(r[1])) << "the last frame's index";
    EXPECT_EQ(0, valueOf(r[2])) << "a negative chip index gives no frame";
    EXPECT_EQ(3, valueOf(r[3]));
    const auto& frames = object->getAnimationDataList();
    ASSERT_EQ(3u, frames.size());
    const auto first = frames.at(0);
    EXPECT_EQ(0u, first->chipIndex);
    EXPECT_FLOAT_EQ(0.5f, first->timeLength);
    EXPECT_FLOAT_EQ(0.25f, frames.at(2)->timeLength);
    EXPECT_EQ(0u, first->priority);
    EXPECT_EQ(2u, first->textureBlendMode);
    EXPECT_EQ(1u, first->diffuseBlendMode);
    for (float channel : first->color) {
        EXPECT_FLOAT_EQ(1.0f, channel);
    }
    EXPECT_FLOAT_EQ(0.0f, first->drawOffset[0]);
    EXPECT_FLOAT_EQ(0.0f, first->drawOffset[1]);
    EXPECT_FLOAT_EQ(1.0f, first->drawScale[0]);
    EXPECT_FLOAT_EQ(1.0f, first->drawScale[1]);
    EXPECT_FLOAT_EQ(0.0f, first->drawRotationZ);
}

TEST_F(MossbellLibModule, FrameSettersReachOneFrameOrEvery) {
    using Frame = Orvex::MossbellLib::OxAnimationData;
    struct Case {
        const char* setter;
        std::vector<double> values;
        std::function<std::vector<float>(const Frame&)> read;
        std::vector<float> set;
    };
    const Case cases[] = {
        {"setPriority", {3.7}, [](const Frame& f) { return std::vector<float>{float(f.priority)}; }, {3}},
        {"setTimeLength", {0.125}, [](const Frame& f) { return std::vector<float>{f.timeLength}; }, {0.125f}},
        {"setTextureBlendMode", {3}, [](const Frame& f) { return std::vector<float>{float(f.textureBlendMode)}; }, {3}},
        {"setDiffuseBlendMode", {2}, [](const Frame& f) { return std::vector<float>{float(f.diffuseBlendMode)}; }, {2}},
        {"setColor",
         {0.1, 0.2, 0.3, 0.4},
         [](const Frame& f) { return std::vector<float>(f.color, f.color + 4); },
         {0.1f, 0.2f, 0.3f, 0.4f}},
        {"setDrawScale",
         {2, 0.5},
         [](const Frame& f) { return std::vector<float>(f.drawScale, f.drawScale + 2); },
         {2, 0.5f}},
        {"setDrawOffset",
         {4, -5},
         [](const Frame& f) { return std::vector<float>(f.drawOffset, f.drawOffset + 2); },
         {4, -5}},
        {"setDrawRotationZ", {1.5}, [](const Frame& f) { return std::vector<float>{f.drawRotationZ}; }, {1.5f}},
    };
    for (const Case& c : cases) {
        const std::string path = std::string("MossbellLib.AnimationData.") + c.setter;
        // Index 1 reaches the middle frame only, -1 every frame, 3 (past the end) none.
        for (const auto& [index, reached] : {std::pair{1, std::vector<bool>{false, true, false}},
                                             {-1, {true, true, true}},
                                             {3, {false, false, false}}}) {
            OxMADObject* object = make("frames", 5);
            ASSERT_NE(nullptr, object);
            std::vector<std::vector<float>> before;
            for (std::size_t frame = 0; frame < 3; ++frame) {
                before.push_back(c.read(*object->getAnimationDataList().at(frame)));
            }
            std::vector<CScriptValue> args{text(path.c_str()), CScriptValue(static_cast<void*>(object)),
                                           integer(index)};
            for (double value : c.values) {
                args.push_back(number(value));
            }
            call("call", 0, args);
            for (std::size_t frame = 0; frame < 3; ++frame) {
                const std::vector<float> got = c.read(*object->getAnimationDataList().at(frame));
                const std::vector<float>& expected = reached[frame] ? c.set : before[frame];
                ASSERT_EQ(expected.size(), got.size());
                for (std::size_t i = 0; i < got.size(); ++i) {
                    EXPECT_FLOAT_EQ(expected[i], got[i]) << c.setter << " index " << index << " frame " << frame;
                }
            }
        }
    }
}

TEST_F(MossbellLibModule, PlayRangesLimitThePlay) {
    OxMADObject* object = make("frames", 5);
    ASSERT_NE(nullptr, object);
    const CScriptValue handle(static_cast<void*>(object));
    EXPECT_EQ(2, valueOf(call("ranges", 1, {handle})[0]));

    struct Case {
        const char* function;
        std::vector<CScriptValue> arguments;
        int results;  // -1: no result
        float start, end;
        bool idle, walk;  // isPlayingFromPlayRangeIndex of ranges 0 and 1
    };
    // Frame 0 spans 0 to 0.5 s, frame 1 0.5 to 0.75, frame 2 0.75 to 1.
    const Case cases[] = {
        {"MossbellLib.applyPlayRangeDataFromName", {text("Walk")}, 1, 0.5f, 1.0f, false, true},
        {"MossbellLib.applyPlayRangeDataFromName", {text("Sleep")}, 0, 0.5f, 1.0f, false, true},
        {"MossbellLib.applyPlayRangeDataFromIndex", {integer(0)}, 1, 0.0f, 0.5f, true, false},
        {"MossbellLib.applyPlayRangeDataFromIndex", {integer(5)}, 0, 0.0f, 0.5f, true, false},
        {"MossbellLib.applyPlayRangeDataFromIndex", {integer(-1)}, 0, 0.0f, 0.5f, true, false},
        {"MossbellLib.setPlayRangeFromAnimationData", {integer(1), integer(1)}, -1, 0.5f, 0.75f, false, false},
        {"MossbellLib.setPlayRangeFromAnimationData", {integer(2), integer(9)}, -1, 0.5f, 0.75f, false, false},
        {"MossbellLib.setPlayRangeFromAnimationData", {integer(-1), integer(2)}, -1, 0.5f, 0.75f, false, false},
        {"MossbellLib.setPlayRangeFromAnimationData", {integer(1), integer(2)}, -1, 0.5f, 1.0f, false, true},
    };
    for (const Case& c : cases) {
        std::vector<CScriptValue> args{text(c.function), handle};
        args.insert(args.end(), c.arguments.begin(), c.arguments.end());
        const auto r = call("call", 1, args);
        if (c.results < 0) {
            EXPECT_EQ(0, valueOf(call("count", 1, args)[0])) << c.function;
        } else {
            ASSERT_EQ(1u, r.size());
            EXPECT_EQ(c.results, valueOf(r[0])) << c.function;
        }
        EXPECT_TRUE(object->isPlayRangeEnabled()) << c.function;
        EXPECT_FLOAT_EQ(c.start, object->getPlayRangeStart()) << c.function;
        EXPECT_FLOAT_EQ(c.end, object->getPlayRangeEnd()) << c.function;
        const auto playing = call("playingRanges", 4, {handle});
        ASSERT_EQ(4u, playing.size());
        EXPECT_EQ(c.idle ? 1 : 0, valueOf(playing[3])) << c.function;
        EXPECT_EQ(c.walk ? 1 : 0, valueOf(playing[2])) << c.function;
        EXPECT_EQ(0, valueOf(playing[1])) << "no range 2";
        EXPECT_EQ(0, valueOf(playing[0])) << "no range -1";
    }

    // Playing starts at the range's first frame and stops after its last.
    auto r = call("run", 2, {handle, integer(0), number(0.3), integer(0)});
    EXPECT_NEAR(0.5, valueOf(r[1]), 1e-5);
    r = call("step", 2, {handle, number(0.3)});
    EXPECT_NEAR(0.8, valueOf(r[1]), 1e-5);
    r = call("step", 2, {handle, number(0.3)});
    EXPECT_NEAR(1.1, valueOf(r[1]), 1e-5);
    EXPECT_EQ(0, valueOf(r[0]));
    r = call("step", 2, {handle, number(0.3)});
    EXPECT_EQ(1, valueOf(r[0])) << "stopped at the end of the range";
    EXPECT_EQ(0, valueOf(r[1]));
}

TEST_F(MossbellLibModule, ClearingEmptiesTheFramesOrEverything) {
    OxMADObject* object = make("quarters", 1);
    ASSERT_NE(nullptr, object);
    const CScriptValue handle(static_cast<void*>(object));
    call("call", 0, {text("MossbellLib.addPlayRangeData"), handle, integer(0), integer(1)});
    call("call", 0, {text("MossbellLib.setFPS"), handle, integer(30)});
    call("run", 2, {handle, integer(1), number(0.3), integer(1)});

    struct Case {
        const char* function;
        std::vector<double> lists;  // textures, chips, frames, ranges, stopped, time
        float fps;
    };
    const Case cases[] = {
        {"MossbellLib.clearAnimationDataList", {1, 4, 0, 1, 0, 0.3}, 30.0f},
        {"MossbellLib.clear", {0, 0, 0, 0, 1, 0}, 60.0f},
    };
    for (const Case& c : cases) {
        call("call", 0, {text(c.function), handle});
        auto r = call("lists", 6, {handle});
        ASSERT_EQ(6u, r.size());
        for (std::size_t i = 0; i < c.lists.size(); ++i) {
            EXPECT_NEAR(c.lists[i], valueOf(r[r.size() - 1 - i]), 1e-5) << c.function << " result " << i;
        }
        EXPECT_FLOAT_EQ(c.fps, object->getFPS()) << c.function;
    }
    EXPECT_FALSE(object->getLoopPlay()) << "clear drops the loop flag";
}

TEST_F(MossbellLibModule, DrawsTheCurrentFrameAtTheRoundedPosition) {
    struct Case {
        const char* name;
        const char* playback;  // the MossbellLib function called before drawing
        double x, y;
        double offsetX;
        int left, top;  // where the 8 x 8 chip lands; -1: nothing drawn
    };
    const Case cases[] = {
        {"rounded down", "MossbellLib.play", 10.4, 20.4, 0, 10, 20},
        {"rounded up", "MossbellLib.play", 10.6, 20.5, 0, 11, 21},
        {"paused", "MossbellLib.pause", 3, 4, 0, 3, 4},
        {"with the frame's offset", "MossbellLib.play", 3, 4, 5, 8, 4},
        {"stopped", "MossbellLib.stop", 3, 4, 0, -1, -1},
    };
    for (const Case& c : cases) {
        OxMADObject* object = make("frames", 5);
        ASSERT_NE(nullptr, object);
        const CScriptValue handle(static_cast<void*>(object));
        call("call", 0,
             {text("MossbellLib.AnimationData.setDrawOffset"), handle, integer(-1), number(c.offsetX), number(0)});
        call("call", 0, {text(c.playback), handle});
        const std::vector<uint32_t> pixels =
            drawn("call", {text("MossbellLib.draw"), handle, number(c.x), number(c.y)});
        ASSERT_EQ(kSide * kSide, pixels.size());
        int left = -1, top = -1, right = -1, bottom = -1;
        for (int y = 0; y < static_cast<int>(kSide); ++y) {
            for (int x = 0; x < static_cast<int>(kSide); ++x) {
                if (pixels[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)] == 0) {
                    continue;
                }
                EXPECT_EQ(0xFFFFFFu, pixels[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)])
                    << c.name << " at " << x << ", " << y;
                left = left < 0 ? x : std::min(left, x);
                top = top < 0 ? y : top;
                right = std::max(right, x);
                bottom = y;
            }
        }
        EXPECT_EQ(c.left, left) << c.name;
        EXPECT_EQ(c.top, top) << c.name;
        if (c.left >= 0) {
            EXPECT_EQ(c.left + 7, right) << c.name;
            EXPECT_EQ(c.top + 7, bottom) << c.name;
        }
    }
}

}  // namespace
