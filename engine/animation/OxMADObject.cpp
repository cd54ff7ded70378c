#include "engine/animation/OxMADObject.h"

#include <cmath>
#include <memory>

#include "engine/serialization/OxSerializer.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::MossbellLib {

namespace {

// Smallest saved play range: two indices and the terminator of an empty name.
constexpr uint32_t kMinPlayRangeBytes = 4 + 4 + 2;

}  // namespace

bool OxMADObject::OxPlayRangeData::serialize(Serialization::OxSerializer& serializer) {
    if (serializer.isWriting()) {
        serializer.write32(firstIndex);
        serializer.write32(lastIndex);
        serializer.writeWString(name);
        return true;
    }
    serializer.read32(firstIndex);
    serializer.read32(lastIndex);
    serializer.readWString(name);
    return !serializer.hasReadFailed();
}

OxMADObject::OxMADObject() { clear(); }

OxMADObject::~OxMADObject() { clear(); }

void OxMADObject::clear() {
    fps_ = 60.0f;
    state_ = kStopped;
    currentTime_ = 0.0f;
    frameStartTime_ = 0.0f;
    currentIndex_ = 0;
    loopPlay_ = false;
    playRangeEnabled_ = false;
    playRangeStart_ = 0.0f;
    playRangeEnd_ = 0.0f;
    textures_.clear();
    chips_.clear();
    animationData_.clear();
    playRanges_.clear();
}

void OxMADObject::rewind() {
    currentTime_ = 0.0f;
    frameStartTime_ = 0.0f;
    currentIndex_ = 0;
}

bool OxMADObject::seek(float time) {
    if (animationData_.empty()) {
        return false;
    }
    rewind();
    float start = 0.0f;
    for (uint32_t index = 0; index < animationData_.size(); ++index) {
        const float length = animationData_.at(index)->timeLength;
        if (start <= time && time < start + length) {
            currentTime_ = time;
            currentIndex_ = index;
            frameStartTime_ = start;
            return true;
        }
        start += length;
    }
    state_ = kStopped;
    return false;
}

void OxMADObject::update(float dt) {
    if (state_ != kPlaying) {
        return;
    }
    const auto count = static_cast<uint32_t>(animationData_.size());
    if (currentIndex_ >= count) {
        return;
    }
    // An animation without length (or with a time that is no longer a number) would never find
    // its frame when looping: it stays where it is.
    float total = 0.0f;
    animationData_.forEach([&total](const OxAnimationData& entry) { total += entry.timeLength; });
    if (!(total > 0.0f) || !std::isfinite(currentTime_ + dt)) {
        return;
    }

    if (playRangeEnabled_ && currentTime_ >= playRangeEnd_) {
        if (!loopPlay_) {
            rewind();
            state_ = kStopped;
            return;
        }
        seek(currentTime_ - playRangeEnd_ + playRangeStart_);
        currentTime_ += dt;
        return;
    }

    for (;;) {
        const float length = animationData_.at(currentIndex_)->timeLength;
        if (frameStartTime_ + length > currentTime_) {
            break;
        }
        frameStartTime_ += length;
        ++currentIndex_;
        if (currentIndex_ < count) {
            continue;
        }
        currentIndex_ = 0;
        if (!loopPlay_) {
            rewind();
            state_ = kStopped;
            return;
        }
        currentTime_ -= frameStartTime_;
        frameStartTime_ = 0.0f;
        // A step of several whole laps lands where the laps one by one would, without walking
        // them (and without subtractions that a large time would absorb).
        if (currentTime_ >= total) {
            currentTime_ = std::fmod(currentTime_, total);
        }
    }
    currentTime_ += dt;
}

bool OxMADObject::draw(Graphics::IOrvexRenderer* renderer, float x, float y) {
    if (state_ == kStopped) {
        return false;
    }
    return drawEntry(renderer, currentIndex_, x, y);
}

bool OxMADObject::drawEntry(Graphics::IOrvexRenderer* renderer, uint32_t index, float x, float y) {
    const auto entry = animationData_.at(index);
    if (!entry || renderer == nullptr) {
        return false;
    }
    Graphics::IOrvexSpriteDraw* sprite = renderer->getSpriteDraw();
    // The chip index comes from a script: one that names no chip draws nothing.
    const auto chip = chips_.at(entry->chipIndex);
    if (sprite == nullptr || !chip) {
        return false;
    }

    const float width = chip->right - chip->left;
    const float height = chip->bottom - chip->top;
    Graphics::OxRect destination;
    destination.left = entry->drawOffset[0] + x;
    destination.top = entry->drawOffset[1] + y;
    destination.right = destination.left + width;
    destination.bottom = destination.top + height;
    if (entry->drawScale[0] != 1.0f || entry->drawScale[1] != 1.0f) {
        const float centerX = (destination.left + destination.right) * 0.5f;
        const float centerY = (destination.top + destination.bottom) * 0.5f;
        destination.left = centerX - width * entry->drawScale[0] * 0.5f;
        destination.top = centerY - height * entry->drawScale[1] * 0.5f;
        destination.right = destination.left + width * entry->drawScale[0];
        destination.bottom = destination.top + height * entry->drawScale[1];
    }
    Graphics::OxRect source;
    source.left = chip->left;
    source.top = chip->top;
    source.right = chip->right;
    source.bottom = chip->bottom;

    sprite->setTextureBlendMode(entry->textureBlendMode);
    sprite->setDiffuseBlendMode(entry->diffuseBlendMode);
    sprite->setDiffuseColor(entry->color[0], entry->color[1], entry->color[2], entry->color[3]);
    const auto texture = Graphics::OxRefPtr<Graphics::IOrvexTexture>::adopt(getTexture(chip->textureIndex));
    const int32_t result = entry->drawRotationZ == 0.0f ? sprite->draw(texture.get(), &destination, &source)
                                                        : sprite->drawCenterRotationZ(texture.get(), &destination,
                                                                                      &source, entry->drawRotationZ);
    sprite->resetStates();
    return result >= 0;
}

void OxMADObject::play() {
    if (animationData_.empty()) {
        return;
    }
    const uint32_t previous = state_;
    state_ = kPlaying;
    if (previous != kPaused && playRangeEnabled_) {
        seek(playRangeStart_);
    }
}

void OxMADObject::stop() {
    state_ = kStopped;
    rewind();
}

void OxMADObject::pause() { state_ = kPaused; }

bool OxMADObject::setFPS(float fps) {
    if (!(fps > 0.0f)) {
        return false;
    }
    fps_ = fps;
    return true;
}

void OxMADObject::addTexture(Graphics::IOrvexTexture* texture, const std::u16string& fileName) {
    textures_.push_back(std::make_shared<OxTextureInfo>(texture, fileName));
}

Graphics::IOrvexTexture* OxMADObject::getTexture(uint32_t index) const {
    const auto info = textures_.at(index);
    return info ? info->getTexture() : nullptr;
}

bool OxMADObject::removeTexture(Graphics::IOrvexTexture* texture) {
    for (const auto& info : textures_) {
        if (info && info->peekTexture() == texture) {
            const auto found = info;
            return textures_.remove(found);
        }
    }
    return false;
}

bool OxMADObject::create(uint32_t size, uint32_t chipSize, float timeLength) {
    if (size == 0 || chipSize == 0) {
        return false;
    }
    const uint32_t perSide = size / chipSize;
    for (uint32_t texture = 0; texture < textures_.size(); ++texture) {
        for (uint32_t row = 0; row < perSide; ++row) {
            for (uint32_t column = 0; column < perSide; ++column) {
                auto chip = std::make_shared<OxChipData>(texture);
                chip->setChipRectangle(static_cast<float>(column * chipSize), static_cast<float>(row * chipSize),
                                       static_cast<float>(column * chipSize + chipSize),
                                       static_cast<float>(row * chipSize + chipSize));
                chips_.push_back(std::move(chip));
                animationData_.push_back(
                    std::make_shared<OxAnimationData>(static_cast<uint32_t>(chips_.size() - 1), timeLength));
            }
        }
    }
    return true;
}

bool OxMADObject::setPlayRange(float start, float end) {
    if (start < 0.0f || end < 0.0f || start >= end) {
        return false;
    }
    playRangeStart_ = start;
    playRangeEnd_ = end;
    playRangeEnabled_ = true;
    return true;
}

bool OxMADObject::startTimeOf(uint32_t index, float& start) const {
    if (index >= animationData_.size()) {
        return false;
    }
    start = 0.0f;
    for (uint32_t i = 0; i < index; ++i) {
        start += animationData_.at(i)->timeLength;
    }
    return true;
}

bool OxMADObject::rangeTimes(const OxPlayRangeData& range, float& start, float& end) const {
    float lastStart = 0.0f;
    if (!startTimeOf(range.firstIndex, start) || !startTimeOf(range.lastIndex, lastStart)) {
        return false;
    }
    end = lastStart + animationData_.at(range.lastIndex)->timeLength;
    return true;
}

bool OxMADObject::setPlayRangeFromAnimationData(uint32_t first, uint32_t last) {
    float start = 0.0f;
    float end = 0.0f;
    return rangeTimes(OxPlayRangeData(first, last), start, end) && setPlayRange(start, end);
}

bool OxMADObject::applyPlayRangeDataFromIndex(uint32_t index) {
    const auto range = playRanges_.at(index);
    return range && setPlayRangeFromAnimationData(range->firstIndex, range->lastIndex);
}

bool OxMADObject::applyPlayRangeDataFromName(const std::u16string& name) {
    for (const auto& range : playRanges_) {
        if (range && range->name == name) {
            return setPlayRangeFromAnimationData(range->firstIndex, range->lastIndex);
        }
    }
    return false;
}

bool OxMADObject::isPlayingFromPlayRangeIndex(uint32_t index) const {
    const auto range = playRanges_.at(index);
    float start = 0.0f;
    float end = 0.0f;
    return range && rangeTimes(*range, start, end) && playRangeStart_ == start && playRangeEnd_ == end;
}

bool OxMADObject::isPlayingFromPlayRangeName(const std::u16string& name) const {
    for (uint32_t index = 0; index < playRanges_.size(); ++index) {
        const auto range = playRanges_.at(index);
        if (range && range->name == name) {
            return isPlayingFromPlayRangeIndex(index);
        }
    }
    return false;
}

bool OxMADObject::serialize(Serialization::OxSerializer& serializer) {
    if (serializer.isWriting()) {
        serializer.write32(fps_);
        serializer.write32(state_);
        serializer.write32(currentTime_);
        serializer.write32(frameStartTime_);
        serializer.write32(currentIndex_);
        serializer.writeByte(loopPlay_ ? 1 : 0);
        serializer.writeByte(playRangeEnabled_ ? 1 : 0);
        serializer.write32(playRangeStart_);
        serializer.write32(playRangeEnd_);
        serializer.write32(static_cast<uint32_t>(playRanges_.size()));
        playRanges_.forEach([&serializer](OxPlayRangeData& range) { range.serialize(serializer); });
        return true;
    }

    // Read everything first and keep the object as it was when the record is damaged.
    float fps = 0.0f, currentTime = 0.0f, frameStartTime = 0.0f, rangeStart = 0.0f, rangeEnd = 0.0f;
    uint32_t state = 0, currentIndex = 0, count = 0;
    uint8_t loop = 0, rangeEnabled = 0;
    serializer.read32(fps);
    serializer.read32(state);
    serializer.read32(currentTime);
    serializer.read32(frameStartTime);
    serializer.read32(currentIndex);
    serializer.readByte(loop);
    serializer.readByte(rangeEnabled);
    serializer.read32(rangeStart);
    serializer.read32(rangeEnd);
    if (!serializer.readCount(count, kMinPlayRangeBytes)) {
        return false;
    }
    PlayRangeList ranges;
    for (uint32_t i = 0; i < count; ++i) {
        auto range = std::make_shared<OxPlayRangeData>();
        range->serialize(serializer);
        ranges.push_back(std::move(range));
    }
    if (serializer.hasReadFailed() || state > kPaused) {
        return false;
    }

    fps_ = fps;
    state_ = state;
    currentTime_ = currentTime;
    frameStartTime_ = frameStartTime;
    currentIndex_ = currentIndex;
    loopPlay_ = loop != 0;
    playRangeEnabled_ = rangeEnabled != 0;
    playRangeStart_ = rangeStart;
    playRangeEnd_ = rangeEnd;
    playRanges_ = std::move(ranges);
    // The frames are rebuilt by the owner's script, which may now make fewer of them.
    if (currentIndex_ >= animationData_.size()) {
        currentIndex_ = 0;
        if (animationData_.empty()) {
            stop();
        }
    }
    return true;
}

}  // namespace Orvex::MossbellLib
