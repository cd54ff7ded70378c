#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/audio/OxNullAudioSource.h"
#include "engine/io/OxPackedStreamReader.h"
#include "game/services/CCommonDataManager.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/engine/io/TempFolder.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

using Orvex::Graphics::IOrvexTexture;
using Orvex::Graphics::IOrvexTextureData;
using Orvex::IO::StreamIO::IOrvexStreamReader;

// A texture named after the bytes of the entry it was made from; counts its destruction.
class NamedTexture : public IOrvexTexture {
public:
    NamedTexture(std::u16string name, int& destroyed) : name_(std::move(name)), destroyed_(destroyed) {}
    uint32_t retain() override { return ++count_; }
    uint32_t release() override {
        const uint32_t left = --count_;
        if (left == 0) {
            ++destroyed_;
            delete this;
        }
        return left;
    }
    uint32_t getRefCount() const override { return count_; }
    int32_t setData(IOrvexTextureData*) override { return -1; }
    IOrvexTextureData* getData() override { return nullptr; }
    uint32_t getWidth() const override { return 0; }
    uint32_t getHeight() const override { return 0; }
    const char16_t* getName() const override { return name_.c_str(); }

private:
    ~NamedTexture() override = default;
    std::u16string name_;
    int& destroyed_;
    uint32_t count_ = 1;
};

// Makes textures from whatever entry the reader has open, as the renderer's manager does.
class ReaderTextureManager : public Orvex::Graphics::IOrvexTextureManager {
public:
    uint32_t retain() override { return 1; }
    uint32_t release() override { return 1; }
    uint32_t getRefCount() const override { return 1; }
    int32_t createTexture(IOrvexTexture** out, Reader* source) override {
        std::vector<uint8_t> bytes;
        if (source == nullptr || !source->isOpen() || !source->readToVector(bytes)) {
            return -1;
        }
        *out = new NamedTexture(std::u16string(bytes.begin(), bytes.end()), destroyed);
        return 0;
    }
    int32_t createTextureFromFile(IOrvexTexture**, const std::u16string*) override { return -1; }
    int32_t createRenderTargetTexture(IOrvexTexture**, uint32_t, uint32_t, uint32_t) override { return -1; }
    int32_t getTextureData(IOrvexTextureData**, Reader*) override { return -1; }
    int32_t getTextureDataFromFile(IOrvexTextureData**, const std::u16string*) override { return -1; }
    int32_t createRenderTargetData(IOrvexTextureData**, uint32_t, uint32_t, uint32_t) override { return -1; }
    int32_t saveTextureToFile(IOrvexTexture*, const std::u16string*) override { return -1; }
    void clear() override {}
    void releaseUnused() override {}
    bool contains(const std::u16string*) override { return false; }
    void releaseTexture(const std::u16string*) override {}

    int destroyed = 0;
};

// Records what it is asked to make and gives a distinct silent source each time.
class RecordingDevice : public Orvex::AudioSystem::OxNullAudioDevice {
public:
    struct Call {
        std::u16string name;
        IOrvexStreamReader* reader;
        uint32_t type;
    };
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> createSource(const std::u16string& name,
                                                                        IOrvexStreamReader* reader,
                                                                        uint32_t type) override {
        calls.push_back({name, reader, type});
        return std::make_shared<Orvex::AudioSystem::OxNullAudioSource>(type);
    }
    std::vector<Call> calls;
};

class CCommonDataManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every common texture but the condition icons, which start-up may go without.
        std::vector<Orvex::Packer::PackerEntry> entries = {
            {u"Common/Texture/GeneralWindow/Frame.png", {'f', 'r', 'a', 'm', 'e'}},
            {u"Common/Texture/GeneralWindow/Icon.png", {'i', 'c', 'o', 'n'}},
            {u"Common/Texture/Illusion/Item.tga", {'i', 't', 'e', 'm'}},
        };
        std::string error;
        ASSERT_TRUE(Orvex::Packer::writeArchive(folder_ / "d000.bin", entries, {}, error)) << error;
        ASSERT_EQ(reader_.openArchives({u"d000.bin"}, Orvex::FileArchiver::OxArchiveOptions{}), 0u);
    }

    TempFolder folder_;
    Orvex::FileArchiver::OxPackedStreamReader reader_;
    ReaderTextureManager textures_;
    RecordingDevice device_;
};

TEST_F(CCommonDataManagerTest, TexturesComeFromTheirEntriesAndAMissingOneIsNull) {
    std::vector<std::u16string> lines;
    Platform::Kernel::setDebugSink([&](std::u16string_view line) { lines.emplace_back(line); });
    Fenwarrow::CCommonDataManager data;
    const bool initialized = data.initialize(reader_, &textures_, device_);
    Platform::Kernel::setDebugSink({});
    ASSERT_TRUE(initialized);
    EXPECT_FALSE(reader_.isOpen()) << "every entry is closed again";
    EXPECT_EQ(lines, std::vector<std::u16string>{u"Common texture not found: Common/Texture/Condition.dds\n"});

    const std::u16string expected[] = {u"frame", u"icon", u"", u"item"};
    for (int32_t index = 0; index < 4; ++index) {
        IOrvexTexture* texture = data.getTexture(index);
        if (expected[index].empty()) {
            EXPECT_EQ(texture, nullptr) << index;
            continue;
        }
        ASSERT_NE(texture, nullptr) << index;
        EXPECT_EQ(std::u16string(texture->getName()), expected[index]);
        EXPECT_EQ(texture->getRefCount(), 2u) << "the caller holds a reference of its own";
        texture->release();
    }
    for (int32_t index : {-1, 4, INT_MAX, INT_MIN}) {
        EXPECT_EQ(data.getTexture(index), nullptr) << index;
    }
}

TEST_F(CCommonDataManagerTest, SystemSoundsFollowTheTableAsSourcesOfTheirOwn) {
    Fenwarrow::CCommonDataManager data;
    ASSERT_TRUE(data.initialize(reader_, &textures_, device_));

    ASSERT_EQ(device_.calls.size(), 15u);
    const std::u16string names[15] = {u"SE/SystemSE/se000.wav", u"SE/SystemSE/se001.wav", u"SE/SystemSE/se002.wav",
                                      u"SE/SystemSE/se003.wav", u"SE/SystemSE/se004.wav", u"SE/SystemSE/se000.wav",
                                      u"SE/SystemSE/se000.wav", u"SE/SystemSE/se000.wav", u"SE/SystemSE/se000.wav",
                                      u"SE/SystemSE/se000.wav", u"SE/Jingle/jg000.wav",   u"SE/Jingle/jg001.wav",
                                      u"SE/Jingle/jg002.wav",   u"SE/Jingle/jg003.wav",   u"SE/Jingle/jg004.wav"};
    std::set<const void*> distinct;
    for (size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(device_.calls[i].name, names[i]) << i;
        EXPECT_EQ(device_.calls[i].reader, &reader_) << i;
        EXPECT_EQ(device_.calls[i].type, Orvex::AudioSystem::kSourceTypeWave) << i;
        const auto source = data.getSystemSE(static_cast<int32_t>(i));
        ASSERT_NE(source, nullptr) << i;
        distinct.insert(source.get());
    }
    EXPECT_EQ(distinct.size(), 15u) << "5-9 can play at once beside 0";
    for (int32_t index : {-1, 15, INT_MAX, INT_MIN}) {
        EXPECT_EQ(data.getSystemSE(index), nullptr) << index;
    }
}

TEST_F(CCommonDataManagerTest, DestructionReleasesTheTexturesButNotTheCallersReference) {
    IOrvexTexture* kept = nullptr;
    {
        Fenwarrow::CCommonDataManager data;
        ASSERT_TRUE(data.initialize(reader_, &textures_, device_));
        kept = data.getTexture(1);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(textures_.destroyed, 0);
    }
    EXPECT_EQ(textures_.destroyed, 2);
    EXPECT_EQ(kept->getRefCount(), 1u);
    kept->release();
    EXPECT_EQ(textures_.destroyed, 3);
}

}  // namespace
