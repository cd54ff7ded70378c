// Frames of the root menu, an item menu and the history, drawn with the sample game's own font
// and window textures on the software device, compared with checked-in references (stored at
// half size). ORVEX_MENU_REFERENCE_DIR=<folder> writes the frames there for inspection.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <stb_image.h>
#include <stb_image_write.h>

#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxBitmapFontLoader.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/system/OxWideFormat.h"
#include "game/menu/CItemMenu.h"
#include "game/menu/CRootMenu.h"
#include "graphics/include/IOrvexGraphics.h"
#include "platform/gpu/GpuDevice.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/menu/MenuFixture.h"

namespace MenuTest {
namespace {

namespace fs = std::filesystem;
using Fenwarrow::Item::CItem;
using Orvex::Graphics::IOrvexTexture;

constexpr uint32_t kWidth = 800;
constexpr uint32_t kHeight = 600;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

class MenuFrameTest : public MenuFixture {
protected:
    void SetUp() override {
        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(graphics_, nullptr);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_EQ(graphics_->initialize(0, &parameters), Orvex::Graphics::kOxOk);
        ASSERT_EQ(graphics_->createRenderer(&renderer_), Orvex::Graphics::kOxOk);

        dataReader_ = std::make_shared<Orvex::FileArchiver::OxPackedStreamReader>();
        std::vector<std::u16string> archives;
        for (const char* name : {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"}) {
            archives.push_back(TempFolder::engineForm(fs::path(ORVEX_RUN_DIR) / name));
        }
        Orvex::FileArchiver::OxArchiveOptions options{};
        options.lowerCaseNames = 1;
        ASSERT_GE(static_cast<int32_t>(dataReader_->openArchives(archives, options)), 0) << "build the data first";
        fontLoader_ = std::make_shared<Orvex::FontLib::OxBitmapFontLoader>(renderer_, dataReader_);
        fontLoader_->setRootDirectory(u"Font");
        font_ = std::make_shared<Orvex::FontLib::OxBitmapFont>(fontLoader_);
        ASSERT_GE(static_cast<int32_t>(font_->load(u"font_00")), 0);
        textures_[0] = loadTexture(u"Common/Texture/GeneralWindow/Frame.png");
        textures_[1] = loadTexture(u"Common/Texture/GeneralWindow/Icon.png");
        ASSERT_NE(textures_[0], nullptr);
        ASSERT_NE(textures_[1], nullptr);
        MenuFixture::SetUp();
    }

    void TearDown() override {
        MenuFixture::TearDown();
        font_.reset();
        fontLoader_.reset();
        for (IOrvexTexture*& texture : textures_) {
            if (texture != nullptr) {
                texture->release();
                texture = nullptr;
            }
        }
        if (renderer_ != nullptr) {
            renderer_->shutdown();
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
    }

    void configureWindows(MenuWindowContext& windows) override {
        windows.renderer = renderer_;
        windows.textures[0] = textures_[0];
        windows.textures[1] = textures_[1];
    }
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> makeFontRenderer() override {
        return std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer_, font_);
    }

    IOrvexTexture* loadTexture(const char16_t* path) {
        if (!dataReader_->open(path)) {
            return nullptr;
        }
        IOrvexTexture* texture = nullptr;
        if (renderer_->getTextureManager()->createTexture(&texture, dataReader_.get()) < 0) {
            texture = nullptr;
        }
        dataReader_->close();
        return texture;
    }

    // The open menus drawn over black, at half size.
    Image render() {
        renderer_->clear(1, 0xFF000000u, 1.0f, 0);
        EXPECT_EQ(renderer_->beginScene(), Orvex::Graphics::kOxOk);
        renderer_->getSpriteDraw()->begin();
        menu_->draw();
        renderer_->getSpriteDraw()->end();
        renderer_->endScene();
        EXPECT_EQ(renderer_->present(), Orvex::Graphics::kOxOk);
        const auto frame = graphics_->getDevice()->getFrameMailbox()->latest();
        Image half;
        if (frame == nullptr || frame->width != kWidth) {
            ADD_FAILURE() << "no frame";
            return half;
        }
        half.width = kWidth / 2;
        half.height = kHeight / 2;
        half.rgb.resize(size_t(half.width) * half.height * 3);
        for (int y = 0; y < half.height; ++y) {
            for (int x = 0; x < half.width; ++x) {
                for (int channel = 0; channel < 3; ++channel) {
                    const int shift = 16 - 8 * channel;
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy) {
                        for (int dx = 0; dx < 2; ++dx) {
                            sum += int(frame->pixels[size_t(2 * y + dy) * kWidth + size_t(2 * x + dx)] >> shift & 0xFF);
                        }
                    }
                    half.rgb[(size_t(y) * half.width + x) * 3 + channel] = uint8_t((sum + 2) / 4);
                }
            }
        }
        return half;
    }

    // Compares with the reference of that name: on average within half a level, and no more
    // than a few pixel values far apart.
    void expectMatches(const Image& frame, const std::string& name) {
        if (const char* folder = std::getenv("ORVEX_MENU_REFERENCE_DIR")) {
            fs::create_directories(folder);
            const std::string path = (fs::path(folder) / (name + ".png")).string();
            stbi_write_png(path.c_str(), frame.width, frame.height, 3, frame.rgb.data(), frame.width * 3);
        }
        const std::string reference = std::string(ORVEX_FIXTURE_DIR) + "/menu/" + name + ".png";
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = stbi_load(reference.c_str(), &width, &height, &channels, 3);
        ASSERT_NE(pixels, nullptr) << reference;
        std::vector<uint8_t> expected(pixels, pixels + size_t(width) * height * 3);
        stbi_image_free(pixels);
        ASSERT_EQ(width, frame.width);
        ASSERT_EQ(height, frame.height);
        double sum = 0;
        size_t far = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            const int difference = std::abs(int(expected[i]) - int(frame.rgb[i]));
            sum += difference;
            far += difference > 48 ? 1 : 0;
        }
        EXPECT_LT(sum / double(expected.size()), 0.5) << name;
        EXPECT_LE(far, 24u) << name;
    }

    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    std::shared_ptr<Orvex::FileArchiver::OxPackedStreamReader> dataReader_;
    std::shared_ptr<Orvex::FontLib::OxBitmapFontLoader> fontLoader_;
    std::shared_ptr<Orvex::FontLib::OxBitmapFont> font_;
    IOrvexTexture* textures_[2] = {nullptr, nullptr};
};

TEST_F(MenuFrameTest, TheRootMenuWithItsStatusPanel) {
    Fenwarrow::Actor::CActorStatus& status = player_->getStatus();
    status.setMaxHungerPoint(100.0f);
    status.setHungerPoint(64.0f);
    status.setMaxForce(8);
    status.setForce(8);
    status.setEXP(120);
    auto sword = carry(CItem::kWeapon, u"木の剣");
    sword->getStatus().setAttack(4);
    player_->setEquippedWeaponItem(sword.get());
    ASSERT_TRUE(menu_->openRoot());
    press(kDown);
    expectMatches(render(), "root");
}

TEST_F(MenuFrameTest, TheInventoryWithTheActionsOfTheEquippedWeapon) {
    auto sword = carry(CItem::kWeapon, u"木の剣");
    sword->getStatus().setAttack(4);
    player_->setEquippedWeaponItem(sword.get());
    auto other = carry(CItem::kWeapon, u"石の剣");
    other->getStatus().setAttack(7);
    carry(CItem::kDrug, u"回復薬")->getStatus().setBlessed(true);
    carry(CItem::kTag, u"札")->getStatus().setUseCount(3);
    ASSERT_TRUE(menu_->openRoot());
    press(kDecide);
    pressAll({kDown, kDecide});
    expectMatches(render(), "items");
}

TEST_F(MenuFrameTest, TheHistoryPage) {
    for (int i = 0; i < 12; ++i) {
        floor_->getLogManager().addLogMessage(Orvex::System::formatWide(u"%d回目の攻撃が当たった。", i + 1));
    }
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kDown, kDown, kDecide, kDecide});
    expectMatches(render(), "log");
}

}  // namespace
}  // namespace MenuTest
