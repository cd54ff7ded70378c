#include "game/scriptcommand/CGraphicsCommand.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <stb_image_write.h>

#include "engine/system/OxStringConvert.h"
#include "game/services/CScriptController.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "platform/gpu/GpuDevice.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::ScriptCommand::CGraphicsCommand;
using Orvex::Graphics::IOrvexSpriteDraw;
using Orvex::Script::CScriptValue;

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

constexpr const char* kScript = R"lua(
local function counted(...) return select("#", ...), ... end
function load(path) return counted(Graphics.createTextureFromFile(path)) end

log = ""
function getLog() return log end
function mark(text) log = log .. text end
function under() mark("U") end
function middle() mark("M") end
function nameless() mark("0") end
function queue()
  Graphics.addRenderQueue("NoSuchLayer", "nameless")
  Graphics.addRenderQueue("Undermost", "under")
  Graphics.addRenderQueue("Undermost", "missing")  -- no such function: nothing
  Graphics.addRenderQueueEx("BackGround", mark, "E")
  Graphics.addRenderQueueEx("BackGround", function() mark("e") end)
  Graphics.addRenderQueue("Floor", "middle")
end

-- The Lua threads that hold queued one-shot callbacks.
function anchors()
  local n = 0
  for key in pairs(_G) do if type(key) == "thread" then n = n + 1 end end
  return n
end

texture = nil
function paint()
  local s = Graphics.SpriteDraw
  s.beginSprite()
  s.setDiffuseColor(0.25, 0.5, 0.75, 1)
  s.draw(texture, 0, 0, 8, 8, 0, 0, 8, 8, 0, 1, 0.5, 0.25, 0.125)
  s.drawFill(0, 0, 4, 4, 1, 0, 0, 1)
  s.drawAlpha(texture, 0, 0, 8, 8, 0, 0, 8, 8, 0.5)
  s.draw(nil, 0, 0, 8, 8, 0, 0, 8, 8, 0, 0, 0, 0, 0)  -- no texture: nothing, not even the colour
  s.endSprite()
end
function setModes()
  Graphics.SpriteDraw.setTextureBlendMode(3)
  Graphics.SpriteDraw.setDiffuseBlendMode(2)
  Graphics.setTextureFilter(1, 1)
end
function queuePaint(path) texture = Graphics.createTextureFromFile(path) Graphics.addRenderQueue("Floor", "paint") end

-- The colour is a Lua expression, so that a case can give a fraction, a negative number or NaN.
function clearTo(colour) Graphics.clearRenderTarget(loadstring("return " .. colour)()) end
function clean(name) Graphics.cleanTexture(name) end
-- A 32 x 8 bar centred on (32, 32), the whole texture stretched over it, turned by the angle.
function drawTurned(path, angle)
  local t = path and Graphics.createTextureFromFile(path)
  local s = Graphics.SpriteDraw
  s.beginSprite()
  s.setDiffuseColor(1, 1, 1, 1)
  s.drawCenterRotationZ(t, 16, 28, 48, 36, 0, 0, 16, 16, angle)
  s.endSprite()
end
)lua";

constexpr uint32_t kSide = 64;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

class GraphicsModule : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> pixels(16 * 16 * 4, 0xFF);
        std::vector<uint8_t> png;
        ASSERT_NE(0, stbi_write_png_to_func(&appendBytes, &png, 16, 16, 4, pixels.data(), 16 * 4));
        // Red on the left half, blue on the right: shows which way a drawing was turned.
        std::vector<uint8_t> halves(16 * 16 * 4, 0xFF);
        for (std::size_t pixel = 0; pixel < 16 * 16; ++pixel) {
            const bool left = pixel % 16 < 8;
            halves[pixel * 4 + 0] = left ? 0xFF : 0x00;
            halves[pixel * 4 + 1] = 0x00;
            halves[pixel * 4 + 2] = left ? 0x00 : 0xFF;
        }
        std::vector<uint8_t> halvesPng;
        ASSERT_NE(0, stbi_write_png_to_func(&appendBytes, &halvesPng, 16, 16, 4, halves.data(), 16 * 4));
        const std::string notAnImage = "not an image";
        ScriptTest::openArchive(folder_, services_.reader,
                                {{u"image\\tile.png", png},
                                 {u"image\\halves.png", halvesPng},
                                 {u"image\\broken.png", std::vector<uint8_t>(notAnImage.begin(), notAnImage.end())}});

        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics_);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = kSide;
        parameters.height = kSide;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->createRenderer(&renderer_));

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        module_ = std::make_shared<CGraphicsCommand>(renderer_, services_.reader, &queue_);
        ASSERT_TRUE(host_.attachCommand(module_));
        ASSERT_TRUE(host_.runMain());
    }

    void TearDown() override {
        queue_.clear();
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

    std::string log() {
        CScriptValue value;
        host_.callForValue(value, "getLog");
        return value.getText();
    }

    void drawQueue() {
        queue_.sort();
        queue_.draw();
    }

    // Presents the render target and returns its pixels as 0xRRGGBB.
    std::vector<uint32_t> presented() {
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->present());
        const auto frame = graphics_->getDevice()->getFrameMailbox()->latest();
        if (frame == nullptr || frame->width != kSide || frame->height != kSide) {
            ADD_FAILURE() << "no frame";
            return std::vector<uint32_t>(kSide * kSide, 0xDEAD);
        }
        std::vector<uint32_t> rgb(frame->pixels);
        for (uint32_t& pixel : rgb) {
            pixel &= 0xFFFFFF;
        }
        return rgb;
    }

    // The cache key of an archive entry: the name the reader gives it.
    std::u16string cacheKey(const std::u16string& path) {
        EXPECT_TRUE(services_.reader.open(path));
        std::u16string key = services_.reader.getFileName();
        services_.reader.close();
        return key;
    }

    // Loads the entry into the texture manager's cache and lets the texture go again, so that
    // nothing but the cache holds its data.
    void cacheUnused(const std::u16string& path) {
        ASSERT_TRUE(services_.reader.open(path));
        Orvex::Graphics::IOrvexTexture* texture = nullptr;
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->getTextureManager()->createTexture(&texture, &services_.reader));
        services_.reader.close();
        texture->release();
    }

    bool cached(const std::u16string& key) { return renderer_->getTextureManager()->contains(&key); }

    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    Orvex::Graphics::OxRenderQueue queue_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    CScriptController host_{services_};
    std::shared_ptr<CGraphicsCommand> module_;
};

TEST_F(GraphicsModule, TexturesAreKeptAndTheirEntriesClosed) {
    struct Case {
        const char* path;
        int results;
        bool texture;
    };
    // A file that is not an image gives a null texture; a missing one gives no result.
    const Case cases[] = {{"Image/tile.png", 1, true}, {"Image/broken.png", 1, false}, {"Image/none.png", 0, false}};
    for (const Case& c : cases) {
        const std::size_t before = module_->getTextureCount();
        const auto r = call("load", 2, {CScriptValue(std::string(c.path))});
        ASSERT_FALSE(r.empty()) << c.path;
        EXPECT_EQ(c.results, valueOf(r.back())) << c.path;
        if (c.results == 1) {
            ASSERT_EQ(2u, r.size());
            EXPECT_EQ(c.texture, module_->ownsTexture(r[0].asPointer())) << c.path;
        }
        EXPECT_EQ(before + (c.texture ? 1 : 0), module_->getTextureCount()) << c.path;
        // An entry left open would refuse every later open on the reader.
        EXPECT_FALSE(services_.reader.isOpen()) << c.path;
    }
    const auto again = call("load", 2, {CScriptValue(std::string("Image/tile.png"))});
    ASSERT_EQ(2u, again.size());
    EXPECT_TRUE(module_->ownsTexture(again[0].asPointer())) << "the reader still opens entries";
}

TEST_F(GraphicsModule, QueuedCallsRunInLayerOrderAndOneShotsOnce) {
    call("queue", 0);
    EXPECT_EQ(2, valueOf(call("anchors", 1)[0]));
    drawQueue();
    // A greater priority is drawn further under, that is earlier; an unknown layer is 0, last.
    // Of two entries of one layer the later one runs first.
    EXPECT_EQ("UeEM0", log());
    EXPECT_EQ(0, valueOf(call("anchors", 1)[0])) << "threads released after their one run";
    drawQueue();
    EXPECT_EQ("UeEM0UM0", log()) << "the one-shot calls do not run again";

    // A frame that is dropped without drawing still frees its one-shot threads.
    queue_.clear();
    call("queue", 0);
    queue_.clear();
    EXPECT_EQ(0, valueOf(call("anchors", 1)[0]));

    // Calls queued by a state that has closed do nothing.
    call("queue", 0);
    host_.close();
    drawQueue();
}

TEST_F(GraphicsModule, ScriptSpriteBracketsLeaveTheFramesDrawerBegun) {
    IOrvexSpriteDraw* sprite = renderer_->getSpriteDraw();
    ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->beginScene());
    // As the frame does: the drawer is begun when the queue runs.
    ASSERT_EQ(Orvex::Graphics::kOxOk, sprite->begin());
    call("queuePaint", 0, {CScriptValue(std::string("Image/tile.png"))});
    drawQueue();
    EXPECT_NE(Orvex::Graphics::kOxOk, sprite->begin()) << "the script's end must not end the frame's drawer";
    float colour[4] = {};
    sprite->getDiffuseColor(colour);
    // draw set its colour; drawAlpha kept it and replaced the alpha.
    EXPECT_FLOAT_EQ(1.0f, colour[0]);
    EXPECT_FLOAT_EQ(0.5f, colour[1]);
    EXPECT_FLOAT_EQ(0.25f, colour[2]);
    EXPECT_FLOAT_EQ(0.5f, colour[3]);
    sprite->end();
    renderer_->endScene();

    // Outside a frame the script's own begin and end pair up.
    queue_.clear();
    call("queuePaint", 0, {CScriptValue(std::string("Image/tile.png"))});
    drawQueue();
    EXPECT_EQ(Orvex::Graphics::kOxOk, sprite->begin()) << "the script ended what it began";
    sprite->end();
}

TEST_F(GraphicsModule, ModesReachTheDrawerAndTheRenderer) {
    call("setModes", 0);
    EXPECT_EQ(3u, renderer_->getSpriteDraw()->getTextureBlendMode());
    EXPECT_EQ(2u, renderer_->getSpriteDraw()->getDiffuseBlendMode());
    EXPECT_EQ(1u, renderer_->getTextureFilter(1));
}

TEST_F(GraphicsModule, ClearRenderTargetFillsTheTargetWithTheTruncatedColour) {
    struct Case {
        const char* colour;
        uint32_t shown;
    };
    // The colour is ARGB; the target keeps no alpha of its own.
    const Case cases[] = {
        {"0xFF204060", 0x204060},  {"0xFF204060 + 0.75", 0x204060},  // truncated, not rounded up to 0x204061
        {"-1", 0xFFFFFF},                                            // the low 32 bits of the whole number
        {"0x1FF00FF00", 0x00FF00},                                   // bits above the 32 dropped
        {"0/0", kBlack},                                             // NaN has no bits: black
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->clear(1, 0xFF123456u, 1.0f, 0));
        call("clearTo", 0, {CScriptValue(std::string(c.colour))});
        const std::vector<uint32_t> pixels = presented();
        const auto wrong = std::count_if(pixels.begin(), pixels.end(), [&](uint32_t p) { return p != c.shown; });
        EXPECT_EQ(0, wrong) << c.colour << ": the first pixel is " << std::hex << pixels.front();
    }
}

TEST_F(GraphicsModule, CleanTextureDropsOnlyCachedDataNothingUses) {
    const std::u16string tile = cacheKey(u"Image/tile.png");
    const std::u16string halves = cacheKey(u"Image/halves.png");
    cacheUnused(u"Image/tile.png");
    cacheUnused(u"Image/halves.png");
    ASSERT_TRUE(cached(tile));
    ASSERT_TRUE(cached(halves));

    call("clean", 0, {CScriptValue(Orvex::System::narrow(tile))});
    EXPECT_FALSE(cached(tile)) << "unused data goes";
    EXPECT_TRUE(cached(halves)) << "only the named data goes";
    call("clean", 0, {CScriptValue(std::string("no such texture"))});
    EXPECT_TRUE(cached(halves));

    // A texture the script holds keeps its data.
    const auto held = call("load", 2, {CScriptValue(std::string("Image/halves.png"))});
    ASSERT_EQ(2u, held.size());
    ASSERT_TRUE(module_->ownsTexture(held[0].asPointer()));
    call("clean", 0, {CScriptValue(Orvex::System::narrow(halves))});
    EXPECT_TRUE(cached(halves)) << "data in use stays";

    // A cleaned name loads afresh.
    const auto again = call("load", 2, {CScriptValue(std::string("Image/tile.png"))});
    ASSERT_EQ(2u, again.size());
    EXPECT_TRUE(module_->ownsTexture(again[0].asPointer()));
    EXPECT_TRUE(cached(tile));
}

TEST_F(GraphicsModule, DrawCenterRotationZTurnsTheDrawingAboutItsCentre) {
    constexpr double kPi = 3.14159265358979323846;
    struct Case {
        const char* name;
        double angle;
        bool texture;
        // The pixels left and right of the centre, then above and below it.
        uint32_t left, right, above, below;
    };
    // The bar lies across x 16..48, y 28..36; turned a quarter it stands across y 16..48. A
    // positive angle turns from +x towards +y, which is down the screen.
    const Case cases[] = {
        {"unturned", 0.0, true, kRed, kBlue, kBlack, kBlack},
        {"a quarter", kPi / 2, true, kBlack, kBlack, kRed, kBlue},
        {"a half", kPi, true, kBlue, kRed, kBlack, kBlack},
        {"a quarter back", -kPi / 2, true, kBlack, kBlack, kBlue, kRed},
        {"no texture", 0.0, false, kBlack, kBlack, kBlack, kBlack},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->clear(1, 0xFF000000u, 1.0f, 0));
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->beginScene());
        call("drawTurned", 0,
             {c.texture ? CScriptValue(std::string("Image/halves.png")) : CScriptValue(), CScriptValue(c.angle)});
        renderer_->endScene();
        const std::vector<uint32_t> pixels = presented();
        const auto at = [&](uint32_t x, uint32_t y) { return pixels[y * kSide + x]; };
        EXPECT_EQ(c.left, at(20, 32)) << c.name;
        EXPECT_EQ(c.right, at(44, 32)) << c.name;
        EXPECT_EQ(c.above, at(32, 20)) << c.name;
        EXPECT_EQ(c.below, at(32, 44)) << c.name;
    }
}

}  // namespace
