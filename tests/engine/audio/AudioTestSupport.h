#pragma once
// An archive stand-in over named byte blocks, and a device on the manual-pump engine inside an
// engine root (streamed sources run engine threads).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/audio/XAudio2Device.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"

namespace AudioTest {

class MemoryArchive : public Orvex::IO::StreamIO::IOrvexStreamReader {
public:
    std::map<std::u16string, std::vector<uint8_t>> files;
    int opens = 0;
    int closes = 0;

    bool open(const std::u16string& path) override {
        const auto it = files.find(path);
        if (current_ != nullptr || it == files.end()) {
            return false;
        }
        ++opens;
        current_ = &it->second;
        position_ = 0;
        return true;
    }
    void close() override {
        if (current_ != nullptr) {
            ++closes;
            current_ = nullptr;
        }
    }
    bool isOpen() const override { return current_ != nullptr; }
    std::u16string getFileName() const override { return {}; }
    uint32_t getSize() override { return current_ ? static_cast<uint32_t>(current_->size()) : 0; }
    bool readToVector(std::vector<uint8_t>& out, uint32_t count = 0, uint32_t* outCount = nullptr) override {
        if (current_ == nullptr) {
            return false;
        }
        if (count == 0) {
            count = getSize();
        }
        out.resize(count);
        uint32_t got = 0;
        read(out.data(), count, &got);
        out.resize(got);
        if (outCount != nullptr) {
            *outCount = got;
        }
        return got == count;
    }
    bool read(void* buffer, uint32_t count, uint32_t* outCount = nullptr) override {
        uint32_t got = 0;
        if (current_ != nullptr && position_ < current_->size()) {
            got = std::min<uint32_t>(count, static_cast<uint32_t>(current_->size()) - position_);
            std::memcpy(buffer, current_->data() + position_, got);
            position_ += got;
        }
        if (outCount != nullptr) {
            *outCount = got;
        }
        return got > 0;
    }
    bool seek(uint32_t position) override {
        if (current_ == nullptr || position > current_->size()) {
            return false;
        }
        position_ = position;
        return true;
    }
    bool tell(uint32_t& position) override {
        position = position_;
        return current_ != nullptr;
    }
    bool skip(int32_t delta) override { return seek(static_cast<uint32_t>(static_cast<int64_t>(position_) + delta)); }
    bool rewind() override { return seek(0); }
    bool seekToEnd() override { return seek(getSize()); }

private:
    std::vector<uint8_t>* current_ = nullptr;
    uint32_t position_ = 0;
};

inline constexpr uint32_t kOutputRate = 48000;

class ManualDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<Orvex::OxOrvexManager>();
        device_ = std::make_shared<Orvex::AudioSystem::XAudio2::XAudio2Device>(
            Platform::Audio::EngineOptions{Platform::Audio::OutputMode::Manual, kOutputRate});
        ASSERT_TRUE(device_->initialize());
    }
    void TearDown() override {
        device_.reset();
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    std::vector<float> pump(uint32_t frames) {
        std::vector<float> out(frames * 2);
        EXPECT_TRUE(device_->getEngine()->pump(out));
        return out;
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_;
    std::shared_ptr<Orvex::AudioSystem::XAudio2::XAudio2Device> device_;
    MemoryArchive archive_;
};

}  // namespace AudioTest
