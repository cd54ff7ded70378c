#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "engine/animation/OxMADObject.h"
#include "engine/serialization/OxSerializer.h"

namespace {

using Orvex::Graphics::IOrvexTexture;
using Orvex::Graphics::OxRect;
using Orvex::MossbellLib::OxAnimationData;
using Orvex::MossbellLib::OxChipData;
using Orvex::MossbellLib::OxMADObject;
using Orvex::Serialization::OxSerializer;

// A texture that only counts its references (it lives on the test's stack).
class CountedTexture : public IOrvexTexture {
public:
    uint32_t retain() override { return ++refs; }
    uint32_t release() override { return --refs; }
    uint32_t getRefCount() const override { return refs; }
    int32_t setData(Orvex::Graphics::IOrvexTextureData*) override { return 0; }
    Orvex::Graphics::IOrvexTextureData* getData() override { return nullptr; }
    uint32_t getWidth() const override { return 0; }
    uint32_t getHeight() const override { return 0; }
    const char16_t* getName() const override { return nullptr; }
    uint32_t refs = 1;
};

struct DrawCall {
    bool rotated = false;
    IOrvexTexture* texture = nullptr;
    uint32_t textureRefsDuringDraw = 0;
    OxRect destination;
    OxRect source;
    float angle = 0.0f;
    uint32_t textureBlend = 0;
    uint32_t diffuseBlend = 0;
    float color[4] = {};
};

// Records what a frame's draw asked of the sprite drawer.
class RecordingSpriteDraw : public Orvex::Graphics::IOrvexSpriteDraw {
public:
    uint32_t retain() override { return 1; }
    uint32_t release() override { return 1; }
    uint32_t getRefCount() const override { return 1; }
    int32_t begin() override { return 0; }
    int32_t end() override { return 0; }
    void resetStates() override {
        ++resets;
        textureBlend_ = 2;
        diffuseBlend_ = 1;
        for (float& c : color_) c = 1.0f;
    }
    void setTextureBlendMode(uint32_t mode) override { textureBlend_ = mode; }
    uint32_t getTextureBlendMode() const override { return textureBlend_; }
    void setDiffuseBlendMode(uint32_t mode) override { diffuseBlend_ = mode; }
    uint32_t getDiffuseBlendMode() const override { return diffuseBlend_; }
    void setDiffuseColor(float r, float g, float b, float a) override {
        color_[0] = r;
        color_[1] = g;
        color_[2] = b;
        color_[3] = a;
    }
    void getDiffuseColor(float out[4]) const override {
        for (int i = 0; i < 4; ++i) out[i] = color_[i];
    }
    int32_t drawFill(const float*, const OxRect*) override { return 0; }
    int32_t draw(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) override {
        return record(false, texture, destination, source, 0.0f);
    }
    int32_t drawCenterRotationZ(IOrvexTexture* texture, const OxRect* destination, const OxRect* source,
                                float angle) override {
        return record(true, texture, destination, source, angle);
    }

    std::vector<DrawCall> calls;
    int resets = 0;
    int32_t result = 0;

private:
    int32_t record(bool rotated, IOrvexTexture* texture, const OxRect* destination, const OxRect* source, float angle) {
        DrawCall call;
        call.rotated = rotated;
        call.texture = texture;
        call.textureRefsDuringDraw = texture ? texture->getRefCount() : 0;
        call.destination = *destination;
        call.source = *source;
        call.angle = angle;
        call.textureBlend = textureBlend_;
        call.diffuseBlend = diffuseBlend_;
        getDiffuseColor(call.color);
        calls.push_back(call);
        return result;
    }
    uint32_t textureBlend_ = 2;
    uint32_t diffuseBlend_ = 1;
    float color_[4] = {1, 1, 1, 1};
};

// A renderer that only hands out its sprite drawer.
class SpriteRenderer : public Orvex::Graphics::IOrvexRenderer {
public:
    uint32_t retain() override { return 1; }
    uint32_t release() override { return 1; }
    uint32_t getRefCount() const override { return 1; }
    int32_t shutdown() override { return kFail; }
    int32_t reset(const Orvex::Graphics::OxGraphicsParameters*) override { return kFail; }
    Orvex::Graphics::IOrvexTextureManager* getTextureManager() override { return nullptr; }
    Orvex::Graphics::IOrvexSpriteDraw* getSpriteDraw() override { return &sprite; }
    Orvex::Graphics::IOrvexRenderCommandFactory* getRenderCommandFactory() override { return nullptr; }
    Orvex::Graphics::IOrvexGraphics* getGraphics() override { return nullptr; }
    int32_t reserved9(uint32_t, uint32_t) override { return kFail; }
    int32_t clear(uint32_t, uint32_t, float, uint32_t) override { return kFail; }
    int32_t beginScene() override { return kFail; }
    int32_t endScene() override { return kFail; }
    int32_t present() override { return kFail; }
    int32_t presentRect(Platform::Gpu::WindowHandle, const float*, const float*) override { return kFail; }
    int32_t setRenderState(uint32_t, bool) override { return kFail; }
    int32_t getRenderState(uint32_t, bool*) override { return kFail; }
    void beginRecordStates() override {}
    void restoreRecordedStates() override {}
    int32_t setTextureFilter(uint32_t, uint32_t) override { return kFail; }
    uint32_t getTextureFilter(uint32_t) override { return 0; }
    IOrvexTexture* getRenderTarget() override { return nullptr; }
    int32_t setRenderTarget(IOrvexTexture*) override { return kFail; }
    int32_t setTexture(uint32_t, IOrvexTexture*) override { return kFail; }
    int32_t setWorldTransform(const float*) override { return kFail; }
    int32_t getWorldTransform(float*) override { return kFail; }
    int32_t setCamera(Orvex::Graphics::IOrvexCamera*) override { return kFail; }
    Orvex::Graphics::IOrvexCamera* getCamera() override { return nullptr; }
    int32_t drawGrid(uint32_t) override { return kFail; }
    int32_t drawLines(const float (*)[3], uint32_t, uint32_t) override { return kFail; }
    int32_t reserved30(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override { return kFail; }
    int32_t drawBox(const Orvex::Graphics::OxOrientedBox*, uint32_t) override { return kFail; }
    int32_t drawSphere(const Orvex::Graphics::OxSphere*, uint32_t) override { return kFail; }
    int32_t drawMesh(Orvex::Graphics::IOrvexMesh*) override { return kFail; }
    int32_t drawRenderObject(Orvex::Graphics::IOrvexRenderObject*) override { return kFail; }
    int32_t drawParticles(Orvex::Graphics::IOrvexParticles*) override { return kFail; }
    int32_t testDevice() override { return kFail; }

    RecordingSpriteDraw sprite;

private:
    static constexpr int32_t kFail = Orvex::Graphics::kOxErrFailed;
};

// Frames of the given lengths, each on a chip of its own (32 x 32 at x = 32 * index).
void addFrames(OxMADObject& object, std::initializer_list<float> lengths) {
    for (float length : lengths) {
        auto chip = std::make_shared<OxChipData>(0);
        const auto index = static_cast<uint32_t>(object.getChipList().size());
        chip->setChipRectangle(32.0f * index, 0.0f, 32.0f * index + 32.0f, 32.0f);
        object.getChipList().push_back(chip);
        object.getAnimationDataList().push_back(std::make_shared<OxAnimationData>(index, length));
    }
}

void updateTimes(OxMADObject& object, int count, float dt) {
    for (int i = 0; i < count; ++i) object.update(dt);
}

TEST(OxMADObjectTest, PlaysFramesInTimeAndStopsOrLoopsAtTheEnd) {
    struct Case {
        bool loop;
        uint32_t state, index;
        float time;
    };
    for (const Case& c : {Case{false, OxMADObject::kStopped, 0, 0.0f}, Case{true, OxMADObject::kPlaying, 0, 6.0f}}) {
        SCOPED_TRACE(c.loop);
        OxMADObject object;
        addFrames(object, {10, 10, 10});
        object.setLoopPlay(c.loop);
        object.play();
        updateTimes(object, 8, 4.0f);
        EXPECT_EQ(object.getCurrentTime(), 32.0f);
        EXPECT_EQ(object.getCurrentIndex(), 2u);
        object.update(4.0f);
        EXPECT_EQ(object.getState(), c.state);
        EXPECT_EQ(object.getCurrentIndex(), c.index);
        EXPECT_EQ(object.getCurrentTime(), c.time);
    }
}

TEST(OxMADObjectTest, PlayRangeStartsAtItsFirstFrameAndCarriesTheOvershootWhenLooping) {
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop);
        OxMADObject object;
        addFrames(object, {10, 10, 10});
        object.setLoopPlay(loop);
        ASSERT_TRUE(object.setPlayRangeFromAnimationData(1, 2));
        EXPECT_EQ(object.getPlayRangeStart(), 10.0f);
        EXPECT_EQ(object.getPlayRangeEnd(), 30.0f);
        object.play();
        EXPECT_EQ(object.getCurrentIndex(), 1u);
        EXPECT_EQ(object.getCurrentTime(), 10.0f);
        updateTimes(object, 3, 7.0f);  // 17, 24, 31 (entry 2)
        EXPECT_EQ(object.getCurrentIndex(), 2u);
        object.update(7.0f);  // 31 >= 30
        if (loop) {
            EXPECT_EQ(object.getState(), OxMADObject::kPlaying);
            EXPECT_EQ(object.getCurrentIndex(), 1u);
            EXPECT_EQ(object.getFrameStartTime(), 10.0f);
            EXPECT_EQ(object.getCurrentTime(), 18.0f);  // sought to 11, plus the step
        } else {
            EXPECT_EQ(object.getState(), OxMADObject::kStopped);
            EXPECT_EQ(object.getCurrentTime(), 0.0f);
        }
    }
}

TEST(OxMADObjectTest, PauseKeepsTheTimeAndStopRewindsToTheRangeStart) {
    OxMADObject object;
    addFrames(object, {10, 10, 10});
    ASSERT_TRUE(object.setPlayRange(15.0f, 30.0f));
    object.play();
    EXPECT_EQ(object.getCurrentTime(), 15.0f);
    object.update(3.0f);
    object.pause();
    object.update(3.0f);  // paused: no advance
    object.play();
    EXPECT_EQ(object.getCurrentTime(), 18.0f);
    object.stop();
    EXPECT_TRUE(object.isStop());
    EXPECT_EQ(object.getCurrentTime(), 0.0f);
    object.play();
    EXPECT_EQ(object.getCurrentTime(), 15.0f);
    EXPECT_EQ(object.getCurrentIndex(), 1u);
}

TEST(OxMADObjectTest, AnObjectWithoutFramesNeitherPlaysNorDraws) {
    OxMADObject object;
    SpriteRenderer renderer;
    object.play();
    EXPECT_TRUE(object.isStop());
    object.pause();
    EXPECT_FALSE(object.draw(&renderer, 0, 0));
    EXPECT_TRUE(renderer.sprite.calls.empty());
}

TEST(OxMADObjectTest, FramesWithoutLengthOrHugeStepsDoNotHangTheLoop) {
    OxMADObject still;
    addFrames(still, {0, 0});
    still.setLoopPlay(true);
    still.play();
    still.update(1.0f);
    EXPECT_EQ(still.getState(), OxMADObject::kPlaying);
    EXPECT_EQ(still.getCurrentTime(), 0.0f);

    OxMADObject fast;
    addFrames(fast, {0.01f, 0.02f});
    fast.setLoopPlay(true);
    fast.play();
    fast.update(3.0e9f);
    fast.update(0.0f);  // many laps at once
    EXPECT_EQ(fast.getState(), OxMADObject::kPlaying);
    EXPECT_LT(fast.getCurrentTime(), 0.03f);
    EXPECT_LT(fast.getCurrentIndex(), 2u);
}

TEST(OxMADObjectTest, RefusesBadPlayRangesAndRates) {
    OxMADObject object;
    addFrames(object, {10, 10});
    struct Range {
        float start, end;
    };
    for (const Range& r : {Range{5, 5}, Range{-1, 3}, Range{3, -1}, Range{6, 5}}) {
        EXPECT_FALSE(object.setPlayRange(r.start, r.end)) << r.start << ".." << r.end;
    }
    EXPECT_FALSE(object.isPlayRangeEnabled());
    EXPECT_FALSE(object.setPlayRangeFromAnimationData(0, 2));
    EXPECT_FALSE(object.setPlayRangeFromAnimationData(1, 0));
    EXPECT_FALSE(object.applyPlayRangeDataFromIndex(0));
    EXPECT_FALSE(object.setFPS(0.0f));
    EXPECT_FALSE(object.setFPS(-3.0f));
    EXPECT_EQ(object.getFPS(), 60.0f);
    EXPECT_TRUE(object.setFPS(30.0f));
}

TEST(OxMADObjectTest, NamedPlayRangesSelectAndReportTheFirstMatch) {
    OxMADObject object;
    addFrames(object, {1, 2, 3, 4});
    auto& ranges = object.getPlayRangeList();
    ranges.push_back(std::make_shared<OxMADObject::OxPlayRangeData>(0, 1, u"歩く"));
    ranges.push_back(std::make_shared<OxMADObject::OxPlayRangeData>(2, 3, u"走る"));
    ranges.push_back(std::make_shared<OxMADObject::OxPlayRangeData>(3, 3, u"走る"));
    EXPECT_FALSE(object.applyPlayRangeDataFromName(u"跳ぶ"));
    ASSERT_TRUE(object.applyPlayRangeDataFromName(u"走る"));
    EXPECT_EQ(object.getPlayRangeStart(), 3.0f);
    EXPECT_EQ(object.getPlayRangeEnd(), 10.0f);
    EXPECT_TRUE(object.isPlayingFromPlayRangeName(u"走る"));
    EXPECT_TRUE(object.isPlayingFromPlayRangeIndex(1));
    EXPECT_FALSE(object.isPlayingFromPlayRangeIndex(2));
    EXPECT_FALSE(object.isPlayingFromPlayRangeIndex(7));
    ASSERT_TRUE(object.applyPlayRangeDataFromIndex(0));
    EXPECT_TRUE(object.isPlayingFromPlayRangeName(u"歩く"));
}

TEST(OxMADObjectTest, CreateCutsEveryTextureRowByRow) {
    CountedTexture first, second;  // outlive the object, which releases them
    OxMADObject object;
    object.addTexture(&first, u"a.png");
    object.addTexture(&second, u"b.png");
    EXPECT_FALSE(object.create(0, 32, 1.0f));
    EXPECT_FALSE(object.create(64, 0, 1.0f));
    ASSERT_TRUE(object.create(64, 32, 1.0f));
    ASSERT_EQ(object.getChipList().size(), 8u);
    ASSERT_EQ(object.getAnimationDataList().size(), 8u);
    const float cells[4][2] = {{0, 0}, {32, 0}, {0, 32}, {32, 32}};
    for (uint32_t i = 0; i < 8; ++i) {
        const auto chip = object.getChipList().at(i);
        EXPECT_EQ(chip->textureIndex, i / 4);
        EXPECT_EQ(chip->left, cells[i % 4][0]);
        EXPECT_EQ(chip->top, cells[i % 4][1]);
        EXPECT_EQ(chip->right, cells[i % 4][0] + 32);
        EXPECT_EQ(chip->bottom, cells[i % 4][1] + 32);
        const auto entry = object.getAnimationDataList().at(i);
        EXPECT_EQ(entry->chipIndex, i);
        EXPECT_EQ(entry->timeLength, 1.0f);
        EXPECT_EQ(entry->textureBlendMode, 2u);
    }
}

TEST(OxMADObjectTest, TexturesAreHeldOnceAndReleasedWhenRemoved) {
    CountedTexture texture, other;
    {
        OxMADObject object;
        object.addTexture(&texture, u"t.png");
        object.addTexture(&other, u"o.png");
        EXPECT_EQ(texture.refs, 2u);
        IOrvexTexture* got = object.getTexture(0);
        EXPECT_EQ(got, &texture);
        EXPECT_EQ(texture.refs, 3u);
        got->release();
        EXPECT_EQ(object.getTexture(2), nullptr);
        EXPECT_FALSE(object.removeTexture(nullptr));
        EXPECT_TRUE(object.removeTexture(&texture));
        EXPECT_EQ(texture.refs, 1u);
        EXPECT_EQ(object.getTextureCount(), 1u);
    }
    EXPECT_EQ(other.refs, 1u);
}

TEST(OxMADObjectTest, DrawsTheCurrentFrameWithItsAttributes) {
    CountedTexture texture;
    SpriteRenderer renderer;
    OxMADObject object;
    object.addTexture(&texture, u"t.png");
    addFrames(object, {10, 10});
    auto entry = object.getAnimationDataList().at(1);
    entry->setDrawOffset(5.0f, 6.0f);
    entry->setDrawScale(2.0f, 1.0f);
    entry->setColor(0.5f, 0.25f, 1.0f, 0.75f);
    entry->textureBlendMode = 3;
    entry->diffuseBlendMode = 2;

    EXPECT_FALSE(object.draw(&renderer, 100, 200));  // stopped
    object.play();
    object.update(10.0f);
    object.update(0.0f);  // now on entry 1
    ASSERT_TRUE(object.draw(&renderer, 100, 200));
    ASSERT_EQ(renderer.sprite.calls.size(), 1u);
    const DrawCall& call = renderer.sprite.calls[0];
    EXPECT_FALSE(call.rotated);
    EXPECT_EQ(call.texture, &texture);
    EXPECT_EQ(call.textureRefsDuringDraw, 3u);
    EXPECT_EQ(texture.refs, 2u);
    // Unscaled 105..137 x 206..238; twice as wide about its centre.
    EXPECT_EQ(call.destination.left, 89.0f);
    EXPECT_EQ(call.destination.right, 153.0f);
    EXPECT_EQ(call.destination.top, 206.0f);
    EXPECT_EQ(call.destination.bottom, 238.0f);
    EXPECT_EQ(call.source.left, 32.0f);
    EXPECT_EQ(call.source.right, 64.0f);
    EXPECT_EQ(call.textureBlend, 3u);
    EXPECT_EQ(call.diffuseBlend, 2u);
    EXPECT_EQ(call.color[1], 0.25f);
    EXPECT_EQ(renderer.sprite.resets, 1);

    entry->setDrawRotationZ(0.5f);
    renderer.sprite.result = Orvex::Graphics::kOxErrFailed;
    object.pause();  // paused objects still draw
    EXPECT_FALSE(object.draw(&renderer, 0, 0));
    ASSERT_EQ(renderer.sprite.calls.size(), 2u);
    EXPECT_TRUE(renderer.sprite.calls[1].rotated);
    EXPECT_EQ(renderer.sprite.calls[1].angle, 0.5f);
}

TEST(OxMADObjectTest, BadChipOrTextureIndicesFromScriptsAreSafe) {
    CountedTexture texture;
    SpriteRenderer renderer;
    OxMADObject object;
    object.addTexture(&texture, u"t.png");
    addFrames(object, {10});
    object.play();

    object.getChipList().at(0)->textureIndex = 9;  // draws without a texture
    EXPECT_TRUE(object.draw(&renderer, 0, 0));
    ASSERT_EQ(renderer.sprite.calls.size(), 1u);
    EXPECT_EQ(renderer.sprite.calls[0].texture, nullptr);

    object.getAnimationDataList().at(0)->chipIndex = 5;  // draws nothing
    EXPECT_FALSE(object.draw(&renderer, 0, 0));
    EXPECT_EQ(renderer.sprite.calls.size(), 1u);
    EXPECT_FALSE(object.draw(nullptr, 0, 0));
}

TEST(OxMADObjectTest, SavedStateRoundTripsWithTheDocumentedLayout) {
    OxMADObject saved;
    addFrames(saved, {10, 10, 10});
    saved.setFPS(24.0f);
    saved.setLoopPlay(true);
    saved.getPlayRangeList().push_back(std::make_shared<OxMADObject::OxPlayRangeData>(1, 2, u"攻撃"));
    saved.getPlayRangeList().push_back(std::make_shared<OxMADObject::OxPlayRangeData>(0, 0));
    saved.applyPlayRangeDataFromIndex(0);
    saved.play();
    saved.update(7.0f);
    saved.update(7.0f);  // time 24, entry 1

    OxSerializer stream;
    ASSERT_TRUE(saved.serialize(stream));
    EXPECT_EQ(stream.getBuffer().size(), 34u + (8 + 3 * 2) + (8 + 2));
    EXPECT_EQ(stream.getBuffer()[20], 1);  // loopPlay after five 4-byte fields

    OxMADObject loaded;
    addFrames(loaded, {10, 10, 10});
    stream.setWriting(false);
    ASSERT_TRUE(loaded.serialize(stream));
    EXPECT_EQ(stream.getRemaining(), 0u);
    EXPECT_EQ(loaded.getFPS(), 24.0f);
    EXPECT_EQ(loaded.getState(), OxMADObject::kPlaying);
    EXPECT_EQ(loaded.getCurrentTime(), 24.0f);
    EXPECT_EQ(loaded.getFrameStartTime(), 10.0f);
    EXPECT_EQ(loaded.getCurrentIndex(), 1u);
    EXPECT_TRUE(loaded.getLoopPlay());
    EXPECT_TRUE(loaded.isPlayRangeEnabled());
    EXPECT_EQ(loaded.getPlayRangeEnd(), 30.0f);
    ASSERT_EQ(loaded.getPlayRangeList().size(), 2u);
    EXPECT_EQ(loaded.getPlayRangeList().at(0)->name, u"攻撃");
    EXPECT_EQ(loaded.getPlayRangeList().at(1)->lastIndex, 0u);
    EXPECT_TRUE(loaded.isPlayingFromPlayRangeName(u"攻撃"));

    // Fewer frames than the save's current index: back to the first frame; none: stopped.
    OxMADObject shorter;
    addFrames(shorter, {10});
    stream.setWriting(false);
    ASSERT_TRUE(shorter.serialize(stream));
    EXPECT_EQ(shorter.getCurrentIndex(), 0u);
    EXPECT_EQ(shorter.getState(), OxMADObject::kPlaying);
    OxMADObject empty;
    stream.setWriting(false);
    ASSERT_TRUE(empty.serialize(stream));
    EXPECT_TRUE(empty.isStop());
    EXPECT_EQ(empty.getCurrentTime(), 0.0f);
}

TEST(OxMADObjectTest, DamagedSavesAreRefusedAndLeaveTheObjectAsItWas) {
    OxMADObject saved;
    saved.getPlayRangeList().push_back(std::make_shared<OxMADObject::OxPlayRangeData>(0, 1, u"x"));
    OxSerializer good;
    ASSERT_TRUE(saved.serialize(good));
    const std::vector<uint8_t> bytes = good.getBuffer();

    auto withBytes = [](std::vector<uint8_t> data) {
        OxSerializer stream;
        stream.getBuffer() = std::move(data);
        stream.setWriting(false);
        return stream;
    };
    std::vector<uint8_t> hugeCount = bytes;
    hugeCount[30] = 0xFF;
    hugeCount[31] = 0xFF;
    hugeCount[32] = 0xFF;
    hugeCount[33] = 0x7F;  // the play-range count
    std::vector<uint8_t> truncated(bytes.begin(), bytes.end() - 3);
    std::vector<uint8_t> badState = bytes;
    badState[4] = 9;
    for (const auto& data : {hugeCount, truncated, badState}) {
        OxMADObject loaded;
        loaded.setFPS(12.0f);
        OxSerializer stream = withBytes(data);
        EXPECT_FALSE(loaded.serialize(stream));
        EXPECT_EQ(loaded.getFPS(), 12.0f);
        EXPECT_TRUE(loaded.getPlayRangeList().empty());
    }
}

}  // namespace
