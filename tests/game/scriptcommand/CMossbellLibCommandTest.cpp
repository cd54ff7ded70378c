#include "game/scriptcommand/CMossbellLibCommand.h"

#include <gtest/gtest.h>

#include <stb_image_write.h>

#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "graphics/include/IOrvexGraphics.h"
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
)lua";

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

CScriptValue integer(int32_t value) { return CScriptValue::fromInteger(value); }

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
        parameters.width = 64;
        parameters.height = 64;
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

}  // namespace
