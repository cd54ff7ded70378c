#pragma once
// The animated sprite: textures, chips cut out of them, frames (one chip each, with a time
// length and draw attributes) and named play ranges, played one frame after another in time.
// Owners rebuild the textures, chips and frames from their scripts; only the playback state and
// the play ranges are saved.
#include <cstdint>
#include <string>
#include <utility>

#include "engine/animation/OxAnimationData.h"
#include "engine/animation/OxChipData.h"
#include "engine/animation/OxTextureInfo.h"
#include "engine/serialization/IOrvexSerializeObject.h"
#include "engine/system/shared_vector_ptr.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::MossbellLib {

class OxMADObject : public Serialization::IOrvexSerializeObject {
public:
    enum State : uint32_t { kStopped = 0, kPlaying = 1, kPaused = 2 };

    // A named run of frames, first and last inclusive.
    class OxPlayRangeData : public Serialization::IOrvexSerializeObject {
    public:
        OxPlayRangeData() = default;
        OxPlayRangeData(uint32_t first, uint32_t last, std::u16string rangeName = {})
            : firstIndex(first), lastIndex(last), name(std::move(rangeName)) {}
        bool serialize(Serialization::OxSerializer& serializer) override;

        uint32_t firstIndex = 0;
        uint32_t lastIndex = 0;
        std::u16string name;
    };

    using TextureList = System::shared_vector_ptr<OxTextureInfo>;
    using ChipList = System::shared_vector_ptr<OxChipData>;
    using AnimationDataList = System::shared_vector_ptr<OxAnimationData>;
    using PlayRangeList = System::shared_vector_ptr<OxPlayRangeData>;

    OxMADObject();
    OxMADObject(const OxMADObject&) = delete;
    OxMADObject& operator=(const OxMADObject&) = delete;
    ~OxMADObject() override;

    // Saves or restores the playback state and the play ranges.
    bool serialize(Serialization::OxSerializer& serializer) override;

    void clear();
    void update(float dt);
    // Draws the current frame at (x, y) through the renderer's sprite drawer, which the caller
    // has begun. False when stopped or when nothing could be drawn.
    bool draw(Graphics::IOrvexRenderer* renderer, float x, float y);

    void play();
    void stop();
    void pause();
    bool isStop() const { return state_ == kStopped; }

    bool setFPS(float fps);
    float getFPS() const { return fps_; }
    float getCurrentTime() const { return currentTime_; }
    void setLoopPlay(bool loop) { loopPlay_ = loop; }
    bool getLoopPlay() const { return loopPlay_; }

    void addTexture(Graphics::IOrvexTexture* texture, const std::u16string& fileName);
    uint32_t getTextureCount() const { return static_cast<uint32_t>(textures_.size()); }
    // Retained for the caller; null for an index out of range.
    Graphics::IOrvexTexture* getTexture(uint32_t index) const;
    bool removeTexture(Graphics::IOrvexTexture* texture);
    void clearTextureList() { textures_.clear(); }

    // Cuts every texture into square chips (row by row) and appends one frame per chip.
    bool create(uint32_t size, uint32_t chipSize, float timeLength);

    bool setPlayRange(float start, float end);
    bool setPlayRangeFromAnimationData(uint32_t first, uint32_t last);
    bool applyPlayRangeDataFromIndex(uint32_t index);
    bool applyPlayRangeDataFromName(const std::u16string& name);
    bool isPlayingFromPlayRangeIndex(uint32_t index) const;
    bool isPlayingFromPlayRangeName(const std::u16string& name) const;

    // Owners read the playback state and the lists directly; use AnimationDataList::at, which
    // answers empty for an index out of range, to reach the current frame.
    uint32_t getState() const { return state_; }
    uint32_t getCurrentIndex() const { return currentIndex_; }
    float getFrameStartTime() const { return frameStartTime_; }
    bool isPlayRangeEnabled() const { return playRangeEnabled_; }
    float getPlayRangeStart() const { return playRangeStart_; }
    float getPlayRangeEnd() const { return playRangeEnd_; }
    TextureList& getTextureList() { return textures_; }
    ChipList& getChipList() { return chips_; }
    AnimationDataList& getAnimationDataList() { return animationData_; }
    PlayRangeList& getPlayRangeList() { return playRanges_; }

private:
    bool seek(float time);
    void rewind();
    // Sum of the time lengths of the frames before index; false when index is not a frame.
    bool startTimeOf(uint32_t index, float& start) const;
    bool rangeTimes(const OxPlayRangeData& range, float& start, float& end) const;
    bool drawEntry(Graphics::IOrvexRenderer* renderer, uint32_t index, float x, float y);

    float fps_ = 60.0f;
    uint32_t state_ = kStopped;
    float currentTime_ = 0.0f;
    float frameStartTime_ = 0.0f;
    uint32_t currentIndex_ = 0;
    bool loopPlay_ = false;
    bool playRangeEnabled_ = false;
    float playRangeStart_ = 0.0f;
    float playRangeEnd_ = 0.0f;
    TextureList textures_;
    ChipList chips_;
    AnimationDataList animationData_;
    PlayRangeList playRanges_;
};

}  // namespace Orvex::MossbellLib
