// The general window drawn through the graphics library on the software device, with textures
// made for the test (each frame cell, each icon part and the one glyph in a colour of its own),
// and its list driven through a real key table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "engine/font/OxFont.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/graphics/OxColor.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "graphics/include/IOrvexGraphics.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/kernel/Process.h"

namespace Fenwarrow {
namespace {

namespace fs = std::filesystem;
using Orvex::Graphics::IOrvexTexture;

constexpr uint32_t kWidth = 320;
constexpr uint32_t kHeight = 240;
constexpr uint32_t kBackground = 0x000000;
constexpr uint32_t kGlyphSize = 8;

// Colours of the nine frame cells, far enough apart to tell them from each other.
constexpr uint32_t kCellColours[9] = {0xE02020, 0x20E020, 0x2020E0, 0xE0E020, 0x808080,
                                      0x20E0E0, 0xE020E0, 0x905010, 0x1090F0};

// A font of one glyph, "A": an 8 x 8 white block drawn at the pen.
class BlockFont : public Orvex::FontLib::OxFont {
public:
    explicit BlockFont(IOrvexTexture* page) {
        fontSize = 20;
        lineHeight = 24;
        auto glyph = std::make_shared<Orvex::FontLib::OxCharDesc>();
        glyph->right = float(kGlyphSize);
        glyph->bottom = float(kGlyphSize);
        glyph->xadvance = 10;
        glyphs.insertOrAssign(u'A', glyph);
        resizePages(1);
        setPage(0, page);
    }
    uint32_t load(const std::u16string&) override { return 0; }
};

// A sound that counts how often it was started again from its beginning.
class CountingSound : public Orvex::AudioSystem::IOrvexAudioSource {
public:
    int restarts = 0;
    bool isNull() override { return false; }
    uint32_t getSourceType() override { return Orvex::AudioSystem::kSourceTypeWave; }
    uint32_t getState() override { return Orvex::AudioSystem::kAudioStateStopped; }
    bool play() override { return true; }
    bool playNew() override {
        ++restarts;
        return true;
    }
    bool stop() override { return true; }
    void pause() override {}
    void resume() override {}
    bool setLoopCount(uint32_t) override { return true; }
    uint32_t getLoopCount() override { return 0; }
};

// The services of the window built from the test's own objects.
class TestContext : public IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    IOrvexTexture* textures[2] = {nullptr, nullptr};
    std::shared_ptr<CountingSound> sounds[3] = {std::make_shared<CountingSound>(), std::make_shared<CountingSound>(),
                                                std::make_shared<CountingSound>()};
    Orvex::InputSystem::OxVirtualKey keys;

    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer; }
    IOrvexTexture* getCommonTexture(int32_t index) override {
        IOrvexTexture* texture = index >= 0 && index < 2 ? textures[index] : nullptr;
        if (texture != nullptr) {
            texture->retain();
        }
        return texture;
    }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override {
        return index >= 0 && index < 3 ? sounds[index] : nullptr;
    }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return &keys; }
};

void writePng(const fs::path& path, int w, int h, uint32_t (*colour)(int, int)) {
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c), p[3] = 255;
        }
    }
    ASSERT_NE(0, stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4));
}

uint32_t frameTexel(int x, int y) { return kCellColours[(y / 64) * 3 + x / 64]; }

// Icon sheet: red and green name the 64-texel cell; blue tells the first 20 texels of a row
// (40), the next 20 (120) and the rest (200); rows 40 and below of a cell are a marker (250).
uint32_t iconTexel(int x, int y) {
    if (y % 64 >= 40) {
        return 0x0505FA;
    }
    const uint32_t part = x % 64 < 20 ? 40 : (x % 64 < 40 ? 120 : 200);
    return uint32_t((x / 64) * 64 + 32) << 16 | uint32_t((y / 64) * 64 + 32) << 8 | part;
}

uint32_t whiteTexel(int, int) { return 0xFFFFFF; }

bool near(uint32_t actual, uint32_t expected, int tolerance = 3) {
    for (int shift : {16, 8, 0}) {
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

class GeneralWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("hw_window_" + std::to_string(Platform::Kernel::processId()));
        fs::create_directories(work_);
        graphics_ = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics_);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics_->createRenderer(&renderer_));
        context_ = std::make_shared<TestContext>();
        context_->renderer = renderer_;
        context_->textures[0] = loadTexture("frame.png", 192, 192, frameTexel);
        context_->textures[1] = loadTexture("icon.png", 256, 256, iconTexel);
        glyphPage_ = loadTexture("glyph.png", kGlyphSize, kGlyphSize, whiteTexel);
        ASSERT_NE(nullptr, context_->textures[0]);
        ASSERT_NE(nullptr, context_->textures[1]);
        ASSERT_NE(nullptr, glyphPage_);
        context_->keys.bind(7, 99, 0);  // grows the table to the keys the list reads
        window_ = std::make_unique<CGeneralWindow>(context_);
    }

    void TearDown() override {
        window_.reset();
        fontRenderer_.reset();
        if (context_) {
            for (IOrvexTexture*& texture : context_->textures) {
                if (texture != nullptr) {
                    texture->release();
                    texture = nullptr;
                }
            }
        }
        if (glyphPage_ != nullptr) {
            glyphPage_->release();
        }
        if (renderer_ != nullptr) {
            // Fails when the window kept a texture reference after it was destroyed.
            EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->shutdown()) << "textures still held";
            renderer_->release();
        }
        if (graphics_ != nullptr) {
            graphics_->terminate();
            graphics_->release();
        }
        fs::remove_all(work_);
    }

    IOrvexTexture* loadTexture(const char* name, int w, int h, uint32_t (*colour)(int, int)) {
        const fs::path path = work_ / name;
        writePng(path, w, h, colour);
        const std::u16string wide = path.u16string();
        IOrvexTexture* texture = nullptr;
        EXPECT_EQ(Orvex::Graphics::kOxOk, renderer_->getTextureManager()->createTextureFromFile(&texture, &wide));
        return texture;
    }

    // A created window at (10, 10), 200 x 160.
    void createWindow() {
        fontRenderer_ =
            std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer_, std::make_shared<BlockFont>(glyphPage_));
        ASSERT_TRUE(window_->create(fontRenderer_));
        window_->x = 10;
        window_->y = 10;
        const float size[2] = {200, 160};
        window_->setWindowSize(size);
    }

    void render() {
        renderer_->clear(1, 0xFF000000u | kBackground, 1.0f, 0);
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->beginScene());
        renderer_->getSpriteDraw()->begin();
        window_->draw();
        renderer_->getSpriteDraw()->end();
        renderer_->endScene();
        ASSERT_EQ(Orvex::Graphics::kOxOk, renderer_->present());
        frame_ = graphics_->getDevice()->getFrameMailbox()->latest();
        ASSERT_NE(nullptr, frame_);
        ASSERT_EQ(kWidth, frame_->width);
    }

    uint32_t pixel(int x, int y) const { return frame_->pixels[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF; }

    // True when exactly the 8 x 8 block at (left, top) has the colour: inside at both corners,
    // outside one pixel beyond each edge.
    bool blockAt(int left, int top, uint32_t colour) const {
        const int last = left + int(kGlyphSize) - 1, bottom = top + int(kGlyphSize) - 1;
        return near(pixel(left, top), colour) && near(pixel(last, bottom), colour) &&
               !near(pixel(left - 1, top + 3), colour) && !near(pixel(left + 3, top - 1), colour) &&
               !near(pixel(last + 1, top + 3), colour) && !near(pixel(left + 3, bottom + 1), colour);
    }

    // Key 0 up, 2 down, 5 decide; a repeat is the first frame of a hold, a push a key down now
    // and up the frame before.
    void repeatKey(uint32_t key) {
        context_->keys.clearAllKeys();
        context_->keys.setDown(key, true);
        context_->keys.setHoldCount(key, 1);
    }
    void pushKey(uint32_t key) {
        context_->keys.clearAllKeys();
        context_->keys.setDown(key, true);
    }

    fs::path work_;
    Orvex::Graphics::IOrvexGraphics* graphics_ = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer_ = nullptr;
    IOrvexTexture* glyphPage_ = nullptr;
    std::shared_ptr<TestContext> context_;
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> fontRenderer_;
    std::unique_ptr<CGeneralWindow> window_;
    std::shared_ptr<const Platform::Gpu::Frame> frame_;
};

TEST_F(GeneralWindowTest, FrameCellsFillTheirPlacesWithCornersOverTheStretchedCentre) {
    createWindow();
    window_->textVisible = false;
    render();
    // Window (10, 10) to (210, 170): corners 64 square, edges between them, centre inset by 16.
    struct Probe {
        int x, y;
        int cell;  // -1: background
    };
    const Probe probes[] = {
        {20, 20, 0},  {30, 30, 0},  {110, 15, 1},  {110, 60, 1},  {200, 20, 2}, {20, 90, 3},   {110, 90, 4},
        {200, 90, 5}, {20, 160, 6}, {110, 165, 7}, {200, 160, 8}, {5, 5, -1},   {215, 90, -1}, {110, 175, -1},
    };
    for (const Probe& p : probes) {
        const uint32_t expected = p.cell < 0 ? kBackground : kCellColours[p.cell];
        EXPECT_TRUE(near(pixel(p.x, p.y), expected))
            << "at (" << p.x << ", " << p.y << ") expected cell " << p.cell << ", got " << std::hex << pixel(p.x, p.y);
    }
}

TEST_F(GeneralWindowTest, VisibilityFlagsChooseFrameAndText) {
    createWindow();
    window_->text = u"A";
    struct Case {
        bool frame, text;
        uint32_t atCorner;  // (20, 20): the frame's first corner or background
        bool glyph;         // the glyph at the content origin (42, 46)
    };
    const Case cases[] = {
        {true, true, kCellColours[0], true},
        {true, false, kCellColours[0], false},
        {false, true, kBackground, true},
        {false, false, kBackground, false},
    };
    for (const Case& c : cases) {
        window_->frameVisible = c.frame;
        window_->textVisible = c.text;
        render();
        EXPECT_TRUE(near(pixel(20, 20), c.atCorner)) << c.frame << c.text;
        EXPECT_EQ(c.glyph, blockAt(42, 46, 0xFFFFFF)) << c.frame << c.text;
    }
}

TEST_F(GeneralWindowTest, TextAndTitleAreDrawnAtTheirPens) {
    createWindow();
    window_->frameVisible = false;
    window_->text = u"A";
    window_->title = u"A";

    render();
    EXPECT_TRUE(blockAt(42, 46, 0xFFFFFF));
    EXPECT_TRUE(near(pixel(100, 40), kBackground)) << "no title bar without a title";

    window_->showTitle = true;
    render();
    EXPECT_TRUE(blockAt(58, 29, 0xFFFFFF)) << "title pen";
    EXPECT_TRUE(blockAt(42, 86, 0xFFFFFF)) << "the title moves the text 40 down";
    EXPECT_FALSE(blockAt(42, 46, 0xFFFFFF));
    // The title bar: the bottom cell stretched into (37, 30) to (182, 94), even without a frame.
    EXPECT_TRUE(near(pixel(100, 60), kCellColours[7]));
    EXPECT_TRUE(near(pixel(38, 31), kCellColours[7]));
    EXPECT_TRUE(near(pixel(180, 92), kCellColours[7]));
    EXPECT_TRUE(near(pixel(36, 60), kBackground));
    EXPECT_TRUE(near(pixel(182, 60), kBackground));
    EXPECT_TRUE(near(pixel(100, 94), kBackground));

    window_->setWindowMode(2);
    render();
    EXPECT_FALSE(blockAt(58, 29, 0xFFFFFF)) << "an unknown mode draws no text";
    EXPECT_FALSE(blockAt(42, 86, 0xFFFFFF));
}

TEST_F(GeneralWindowTest, ListRowsAndTheSelectionBar) {
    createWindow();
    window_->frameVisible = false;
    window_->setWindowMode(CGeneralWindow::kModeList);
    for (int i = 0; i < 3; ++i) {
        window_->addListItem(u"A", uint32_t(i));
    }
    struct Case {
        bool title;
        int32_t selected;
        bool focused;
        int barLevel;  // grey level of the bar over black: white or 0.55 grey at alpha 0.6
    };
    const Case cases[] = {
        {false, 0, true, 153}, {false, 2, true, 153}, {true, 1, true, 153}, {false, 1, false, 84}, {false, -1, true, 0},
    };
    for (const Case& c : cases) {
        window_->showTitle = c.title;
        window_->focused = c.focused;
        ASSERT_TRUE(window_->setSelectItemIndex(c.selected));
        render();
        const int top = c.title ? 86 : 46;
        for (int row = 0; row < 3; ++row) {
            const int r = top + 40 * row;
            // The font's 24-pixel line stands in the middle of the 40-pixel row.
            EXPECT_TRUE(blockAt(46, r + 8, 0xFFFFFF)) << "row " << row << " title " << c.title;
            // Where there is no bar, what lies under it shows: the title bar (37, 30) to
            // (182, 94) where it reaches, else the background.
            auto under = [&](int px, int py) {
                return c.title && px >= 37 && px < 182 && py >= 30 && py < 94 ? kCellColours[7] : kBackground;
            };
            const uint32_t bar = row == c.selected ? uint32_t(c.barLevel) * 0x010101u : under(100, r + 20);
            // The bar spans (42, r) to (178, r + 40).
            for (const auto& [px, py] : {std::pair{100, r + 20}, {42, r}, {177, r + 39}}) {
                const uint32_t expected = row == c.selected ? bar : under(px, py);
                EXPECT_TRUE(near(pixel(px, py), expected))
                    << "row " << row << " selected " << c.selected << " at " << px << ", " << py;
            }
            for (const auto& [px, py] : {std::pair{41, r + 20}, {178, r + 20}, {100, r + 40}}) {
                if (row + 1 != c.selected || px != 100) {  // the next row's bar starts at r + 40
                    EXPECT_TRUE(near(pixel(px, py), under(px, py))) << "row " << row << " at " << px << ", " << py;
                }
            }
        }
    }
}

TEST_F(GeneralWindowTest, CreateRegistersTheIconsAndTheColourParameters) {
    createWindow();
    window_->frameVisible = false;
    struct Icon {
        const char16_t* name;
        int x, y;
        bool full;
    };
    const Icon icons[] = {
        {u"Shield", 0, 0, true},        {u"Weapon", 64, 0, true},     {u"Tag", 128, 0, true},
        {u"Card", 192, 0, true},        {u"Hollow", 0, 64, true},     {u"Amulet", 64, 64, true},
        {u"Money", 128, 64, true},      {u"Cake", 192, 64, true},     {u"Power", 0, 128, true},
        {u"Drug", 64, 128, true},       {u"Other", 128, 128, true},   {u"Error", 192, 128, false},
        {u"Equipped", 0, 192, false},   {u"Blessed", 64, 192, false}, {u"Evil", 128, 192, true},
        {u"Newspaper", 192, 192, true}, {u"Trap", 128, 128, true},
    };
    for (const Icon& icon : icons) {
        window_->text = std::u16string(u"<#") + icon.name + u":ICON>";
        render();
        // Drawn 20 x 20 at the content origin (42, 46) from 40 (or 20) x 40 texels.
        const uint32_t cell = uint32_t(icon.x + 32) << 16 | uint32_t(icon.y + 32) << 8;
        const std::string name(icon.name, icon.name + std::char_traits<char16_t>::length(icon.name));
        EXPECT_TRUE(near(pixel(47, 56), cell | 40)) << name << " " << std::hex << pixel(47, 56);
        EXPECT_TRUE(near(pixel(57, 56), cell | (icon.full ? 120 : 40))) << name << " " << std::hex << pixel(57, 56);
        EXPECT_TRUE(near(pixel(44, 64), cell | 40))
            << name << ": the icon is 40 texels high " << std::hex << pixel(44, 64);
        EXPECT_TRUE(near(pixel(63, 56), kBackground)) << name;
    }

    // Window texts colour by parameter index.
    const uint32_t colours[] = {0xFFFF00, 0x0080FF, 0x00FF33, 0xFF0000, 0xFFFFFF, 0xFFFFFF};
    for (uint32_t i = 0; i < 6; ++i) {
        window_->text = u"<" + std::u16string(1, char16_t(u'0' + i)) + u":COLOR>A";
        render();
        EXPECT_TRUE(blockAt(42, 46, colours[i])) << "parameter " << i << " " << std::hex << pixel(42, 46);
    }
    EXPECT_EQ(10u, window_->getParameters().size());
}

TEST_F(GeneralWindowTest, CreateResetAndDestroyHandTheResourcesBack) {
    EXPECT_FALSE(window_->create(nullptr));
    EXPECT_FALSE(window_->isCreated());
    window_->draw();  // uncreated: nothing to draw with, and no crash

    createWindow();
    auto other = std::make_shared<Orvex::FontLib::OxFontRenderer>(renderer_, std::make_shared<BlockFont>(glyphPage_));
    EXPECT_TRUE(window_->create(other));
    EXPECT_EQ(fontRenderer_, window_->getFontRenderer()) << "a second create changes nothing";

    window_->addListItem(u"A", 1);
    ASSERT_TRUE(window_->setSelectItemIndex(0));
    window_->reset();
    EXPECT_FALSE(window_->isCreated());
    EXPECT_EQ(nullptr, window_->getFontRenderer());
    EXPECT_EQ(0u, window_->getListItemCount());
    EXPECT_EQ(-1, window_->getSelectedItemIndex());
    EXPECT_TRUE(window_->getParameters().empty());
    EXPECT_EQ(128.0f, window_->getWidth());

    EXPECT_TRUE(window_->create(other));
    EXPECT_EQ(other, window_->getFontRenderer());
    // TearDown checks that destroying the window gave every texture reference back.
}

TEST_F(GeneralWindowTest, SizeAndSelectionLimits) {
    struct Size {
        float w, h, expectW, expectH;
    };
    const Size sizes[] = {{100, 300, 128, 300}, {300, 50, 300, 128}, {128, 128, 128, 128}, {0, -5, 128, 128}};
    for (const Size& s : sizes) {
        const float size[2] = {s.w, s.h};
        window_->setWindowSize(size);
        EXPECT_EQ(s.expectW, window_->getWidth());
        EXPECT_EQ(s.expectH, window_->getHeight());
    }

    for (int i = 0; i < 3; ++i) {
        window_->addListItem(u"A", uint32_t(i));
    }
    EXPECT_EQ(-1, window_->getSelectedItemIndex()) << "adding selects nothing";
    struct Select {
        int32_t index;
        bool accepted;
        int32_t after;
    };
    const Select selects[] = {{2, true, 2}, {3, false, 2}, {-2, false, 2}, {0, true, 0}, {-1, true, -1}};
    for (const Select& s : selects) {
        EXPECT_EQ(s.accepted, window_->setSelectItemIndex(s.index)) << s.index;
        EXPECT_EQ(s.after, window_->getSelectedItemIndex()) << s.index;
    }
    EXPECT_EQ(2u, window_->getListItem(2)->value);
    EXPECT_EQ(nullptr, window_->getListItem(3));
}

TEST_F(GeneralWindowTest, KeysMoveAndDecideTheSelection) {
    enum Key { kNone, kUp, kDown, kDecide };
    struct Case {
        const char* what;
        int items;
        int32_t selected;
        Key key;
        bool focused;
        uint32_t mode;
        int32_t expectSelected;
        int cursorSounds, decideSounds, callbacks;
        float expectAlpha;  // after half a second of blink and then the key
    };
    const Case cases[] = {
        {"one item ignores up", 1, 0, kUp, true, 1, 0, 0, 0, 0, 0.4f},
        {"one item ignores down", 1, 0, kDown, true, 1, 0, 0, 0, 0, 0.4f},
        {"one item decides", 1, 0, kDecide, true, 1, 0, 0, 1, 1, 0.4f},
        {"up wraps to the last", 3, 0, kUp, true, 1, 2, 1, 0, 0, 0.6f},
        {"up moves", 3, 2, kUp, true, 1, 1, 1, 0, 0, 0.4f},
        {"down wraps to the first", 3, 2, kDown, true, 1, 0, 1, 0, 0, 0.6f},
        {"down moves", 3, 0, kDown, true, 1, 1, 1, 0, 0, 0.4f},
        {"down from nothing", 3, -1, kDown, true, 1, 0, 1, 0, 0, 0.4f},
        {"decide calls the selected", 3, 1, kDecide, true, 1, 1, 0, 1, 1, 0.4f},
        {"decide with nothing selected", 3, -1, kDecide, true, 1, -1, 0, 0, 0, 0.4f},
        {"decide on an empty list", 0, -1, kDecide, true, 1, -1, 0, 0, 0, 0.4f},
        {"unfocused ignores keys", 3, 0, kUp, false, 1, 0, 0, 0, 0, 0.6f},
        {"text mode ignores keys", 3, 0, kDown, true, 0, 0, 0, 0, 0, 0.6f},
        {"no key", 3, 1, kNone, true, 1, 1, 0, 0, 0, 0.4f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& sound : context_->sounds) {
            sound = std::make_shared<CountingSound>();
        }
        window_ = std::make_unique<CGeneralWindow>(context_);
        window_->setWindowMode(c.mode);
        window_->focused = c.focused;
        int calls = 0;
        CGeneralWindow::CListItem* calledWith = nullptr;
        int32_t calledIndex = -9;
        for (int i = 0; i < c.items; ++i) {
            window_->addListItemEx(
                u"A",
                [&](CGeneralWindow::CListItem* item, int32_t index) {
                    ++calls;
                    calledWith = item;
                    calledIndex = index;
                },
                uint32_t(i));
        }
        ASSERT_TRUE(window_->setSelectItemIndex(c.selected));
        context_->keys.clearAllKeys();
        window_->update(0.5f);  // alpha 0.6 -> 0.4 while focused in list mode, no key down
        if (c.key != kNone) {
            c.key == kDecide ? pushKey(5) : repeatKey(c.key == kUp ? 0 : 2);
        }
        window_->update(0.0f);
        EXPECT_EQ(c.expectSelected, window_->getSelectedItemIndex());
        EXPECT_EQ(c.cursorSounds, context_->sounds[2]->restarts);
        EXPECT_EQ(c.decideSounds, context_->sounds[0]->restarts);
        EXPECT_EQ(c.callbacks, calls);
        if (c.callbacks > 0) {
            EXPECT_EQ(window_->getListItem(uint32_t(c.selected)).get(), calledWith);
            EXPECT_EQ(c.selected, calledIndex);
        }
        EXPECT_NEAR(c.expectAlpha, window_->getCursorAlpha(), 1e-5f);
    }
}

TEST_F(GeneralWindowTest, DecideWithoutCallbackStillSoundsAndACallbackMayDropItsWindow) {
    window_->setWindowMode(CGeneralWindow::kModeList);
    window_->addListItem(u"A", 0);
    window_->addListItem(std::make_shared<CGeneralWindow::CListItem>(
        u"B", [this](CGeneralWindow::CListItem*, int32_t) { window_.reset(); }, 1));
    ASSERT_TRUE(window_->setSelectItemIndex(0));
    pushKey(5);
    window_->update(0.0f);
    EXPECT_EQ(1, context_->sounds[0]->restarts);

    ASSERT_TRUE(window_->setSelectItemIndex(1));
    window_->update(0.0f);
    EXPECT_EQ(nullptr, window_);
    EXPECT_EQ(2, context_->sounds[0]->restarts);
}

TEST_F(GeneralWindowTest, SelectionBarBlinksOnlyWhileFocused) {
    window_->setWindowMode(CGeneralWindow::kModeList);
    // Half-second steps at 0.4 per second: down to the floor of 0.3, up to the ceiling of 0.6.
    const float expected[] = {0.4f, 0.3f, 0.5f, 0.6f, 0.4f};
    for (float alpha : expected) {
        window_->update(0.5f);
        EXPECT_NEAR(alpha, window_->getCursorAlpha(), 1e-5f);
    }
    window_->focused = false;
    for (int i = 0; i < 3; ++i) {
        window_->update(0.5f);
        EXPECT_NEAR(0.6f, window_->getCursorAlpha(), 1e-5f);
    }
}

}  // namespace
}  // namespace Fenwarrow
