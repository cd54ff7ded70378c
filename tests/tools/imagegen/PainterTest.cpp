// The drawing primitives and the game's sheets: soft shapes land where they are asked to,
// compositing keeps colours right, and every sheet has the layout the game cuts it by.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "tools/imagegen/Figure.h"
#include "tools/imagegen/ImagePainter.h"
#include "tools/imagegen/ImageRecipe.h"
#include "tools/imagegen/Raster.h"

namespace {

using namespace Orvex::Tools::ImageGen;

Canvas blank(uint32_t width, uint32_t height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(size_t(width) * height, 0);
    return canvas;
}

Canvas painted(const std::string& line) { return paint(parseRecipes(line, "test.recipe").at(0)); }

uint32_t alphaAt(const Canvas& c, uint32_t x, uint32_t y) { return c.pixels[size_t(y) * c.width + x] >> 24; }

// Opaque-enough pixels inside a rectangle.
int inkIn(const Canvas& c, uint32_t left, uint32_t top, uint32_t width, uint32_t height) {
    int count = 0;
    for (uint32_t y = top; y < top + height; ++y) {
        for (uint32_t x = left; x < left + width; ++x) count += alphaAt(c, x, y) > 128 ? 1 : 0;
    }
    return count;
}

TEST(PainterTest, ShapesCoverTheirInsideWithSoftEdgesOnly) {
    Canvas canvas = blank(40, 40);
    Raster raster(canvas);
    raster.ellipse(20, 20, 10, 5, 0xFFFF0000);
    EXPECT_EQ(canvas.pixels[20 * 40 + 20], 0xFFFF0000u);  // centre
    EXPECT_EQ(alphaAt(canvas, 20, 12), 0u);               // above the 5-pixel half height
    EXPECT_EQ(alphaAt(canvas, 31, 20), 0u);               // right of the 10-pixel half width
    const uint32_t edge = alphaAt(canvas, 29, 19);        // the pixel the rim crosses
    EXPECT_GT(edge, 0u);
    EXPECT_LT(edge, 255u);

    // An L-shaped polygon: its notch stays clear (even-odd filling, not the bounding box).
    Canvas l = blank(40, 40);
    Raster(l).polygon({{0, 0}, {20, 0}, {20, 20}, {40, 20}, {40, 40}, {0, 40}}, 0xFF00FF00);
    EXPECT_EQ(alphaAt(l, 5, 5), 255u);
    EXPECT_EQ(alphaAt(l, 30, 5), 0u);
    EXPECT_EQ(alphaAt(l, 30, 30), 255u);

    // A capsule reaches its round ends but not past them; an outline rings the shape.
    Canvas cap = blank(40, 20);
    Raster(cap).capsule({10, 10}, {30, 10}, 4, 0xFF0000FF, 0xFF000000, 2);
    EXPECT_EQ(cap.pixels[10 * 40 + 20], 0xFF0000FFu);
    EXPECT_EQ(cap.pixels[10 * 40 + 34], 0xFF000000u);  // past the end: the outline
    EXPECT_EQ(alphaAt(cap, 38, 10), 0u);
}

TEST(PainterTest, CompositingAndErasingKeepTheColourMaths) {
    EXPECT_EQ(over(0xFF000000, 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(over(0xFF000000, 0x00FFFFFF), 0xFF000000u);
    EXPECT_EQ(over(0xFF0000FF, 0x80FF0000), 0xFF80007Fu);  // half red over blue
    EXPECT_EQ(over(0x00000000, 0x80FF0000), 0x80FF0000u);  // over nothing: itself
    EXPECT_EQ(mix(0xFF000000, 0xFFFFFFFF, 0.5), 0xFF808080u);
    EXPECT_EQ(shade(0x80102030, 2.0), 0x80204060u);

    Canvas canvas = blank(20, 20);
    Raster raster(canvas);
    raster.roundedRect(0, 0, 20, 20, 0, 0xFF808080);
    raster.setErasing(true);
    raster.ellipse(10, 10, 4, 4, 0xFFFFFFFF);
    raster.setErasing(false);
    EXPECT_EQ(alphaAt(canvas, 10, 10), 0u);  // the eraser's middle is clear
    EXPECT_EQ(alphaAt(canvas, 1, 1), 255u);  // the rest untouched
    raster.clip(0, 0, 10, 20);
    raster.roundedRect(0, 0, 20, 20, 0, 0xFFFF0000);
    EXPECT_EQ(canvas.pixels[5 * 20 + 5], 0xFFFF0000u);
    EXPECT_EQ(canvas.pixels[5 * 20 + 15], 0xFF808080u);  // outside the clip
}

TEST(PainterTest, CharacterSheetsHaveAFigurePerFrameStandingOnTheCell) {
    for (const char* kind : {"hero", "slime", "mobb", "guard", "vendor"}) {
        SCOPED_TRACE(kind);
        const Canvas sheet = painted(std::string("a.png 1008 480 character ") + kind);
        std::set<std::vector<uint32_t>> looks;
        for (uint32_t column = 0; column < 9; ++column) {
            for (uint32_t row = 0; row < 4; ++row) {
                const uint32_t left = column * kFrameWidth, top = row * kFrameHeight;
                const bool used = column < 8 || row < kSleepFrames;
                if (!used) {
                    EXPECT_EQ(inkIn(sheet, left, top, kFrameWidth, kFrameHeight), 0) << "spare frame " << row;
                    continue;
                }
                // Something to see, standing on the lower part of the frame, centred.
                EXPECT_GT(inkIn(sheet, left, top, kFrameWidth, kFrameHeight), 900) << column << "," << row;
                uint32_t lowest = 0, minX = kFrameWidth, maxX = 0;
                for (uint32_t y = 0; y < kFrameHeight; ++y) {
                    for (uint32_t x = 0; x < kFrameWidth; ++x) {
                        if (alphaAt(sheet, left + x, top + y) <= 128) continue;
                        lowest = std::max(lowest, y);
                        minX = std::min(minX, x);
                        maxX = std::max(maxX, x);
                    }
                }
                EXPECT_GE(lowest, 96u) << column << "," << row;
                EXPECT_LT(lowest, kFrameHeight - 1) << "cut off at the frame's bottom: " << column << "," << row;
                EXPECT_GT(minX, 0u) << "cut off at the frame's left: " << column << "," << row;
                EXPECT_LT(maxX, kFrameWidth - 1) << "cut off at the frame's right: " << column << "," << row;
                if (row == 0) {
                    std::vector<uint32_t> frame;
                    for (uint32_t y = top; y < top + kFrameHeight; ++y) {
                        frame.insert(frame.end(), sheet.pixels.begin() + y * sheet.width + left,
                                     sheet.pixels.begin() + y * sheet.width + left + kFrameWidth);
                    }
                    looks.insert(frame);
                }
            }
        }
        EXPECT_EQ(looks.size(), 9u) << "every direction and the sleep look different";
    }
}

TEST(PainterTest, WallSheetRepeatsItsPiecesInEveryBandTheRendererShiftsTo) {
    const Canvas sheet = painted("w.png 320 320 wallsheet FF6C6480 FF9A8A78");
    const uint32_t s = 80;
    for (uint32_t band = 1; band < 4; ++band) {
        for (uint32_t y = 0; y < s; ++y) {
            ASSERT_TRUE(std::equal(sheet.pixels.begin() + y * 320, sheet.pixels.begin() + (y + 1) * 320,
                                   sheet.pixels.begin() + (y + band * s) * 320))
                << "band " << band << " row " << y;
        }
    }
    // Pieces are s/2 wide: 0-7 in rows 0..22, 8-15 below. The wall's inside (pieces 3 and 11)
    // is solid; an outer corner (piece 0) is rounded off; a wall with floor below (piece 9)
    // shows its face, which the inside does not.
    auto piece = [&](int p, uint32_t x, uint32_t y) {
        const uint32_t left = uint32_t(p % 8) * s / 2, top = p < 8 ? 0 : 23;
        return sheet.pixels[(top + y) * 320 + left + x];
    };
    for (uint32_t y = 0; y < 22; ++y) {
        for (uint32_t x = 0; x < 40; ++x) EXPECT_EQ(piece(3, x, y) >> 24, 255u) << x << "," << y;
    }
    EXPECT_EQ(piece(0, 0, 0) >> 24, 0u);
    EXPECT_EQ(piece(5, 39, 0) >> 24, 0u);
    EXPECT_EQ(piece(4, 20, 15), piece(3, 20, 15));  // an inner corner is inside away from its notch
    int differing = 0;
    for (uint32_t y = 30; y < 57; ++y) differing += piece(9, 20, y) != piece(11, 20, y) ? 1 : 0;
    EXPECT_GT(differing, 20);
}

TEST(PainterTest, DarkPlaneLeavesThePlayerAndItsNeighboursVisible) {
    const Canvas dark = painted("d.dds 1024 1024 darkplane 80");
    // The player's cell spans (360, 208)-(440, 288) on the 800x600 screen.
    EXPECT_EQ(alphaAt(dark, 400, 248), 0u);
    EXPECT_EQ(alphaAt(dark, 365, 212), 0u);   // the cell's own corner
    EXPECT_LT(alphaAt(dark, 320, 248), 40u);  // the cell to the left
    EXPECT_LT(alphaAt(dark, 480, 248), 40u);  // the cell to the right
    EXPECT_LT(alphaAt(dark, 400, 330), 40u);  // the cell below
    EXPECT_EQ(alphaAt(dark, 20, 20), 255u);
    EXPECT_EQ(alphaAt(dark, 790, 590), 255u);
    EXPECT_EQ(alphaAt(dark, 1000, 1000), 255u);  // the padding too, when drawn whole
}

TEST(PainterTest, IconsStayInsideTheCellsTheWindowCutsAndItemsFillTheirChips) {
    const Canvas icons = painted("i.png 256 256 icons");
    struct Cell {
        uint32_t x, y, w;
    };
    const Cell cells[] = {{0, 0, 40},    {64, 0, 40},   {128, 0, 40},   {192, 0, 40},  {0, 64, 40},    {64, 64, 40},
                          {128, 64, 40}, {192, 64, 40}, {0, 128, 40},   {64, 128, 40}, {128, 128, 40}, {192, 128, 20},
                          {0, 192, 20},  {64, 192, 20}, {128, 192, 40}, {192, 192, 40}};
    int inside = 0;
    for (const Cell& cell : cells) {
        const int ink = inkIn(icons, cell.x, cell.y, cell.w, 40);
        EXPECT_GT(ink, int(cell.w * 40 / 8)) << "icon at " << cell.x << "," << cell.y;
        inside += ink;
    }
    EXPECT_EQ(inkIn(icons, 0, 0, 256, 256), inside) << "ink outside the icon cells";

    const Canvas items = painted("t.png 320 320 items");
    std::set<std::vector<uint32_t>> chips;
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t left = i % 4 * 80, top = i / 4 * 80;
        EXPECT_GT(inkIn(items, left, top, 80, 80), 800) << "chip " << i;
        std::vector<uint32_t> chip;
        for (uint32_t y = top; y < top + 80; ++y) {
            chip.insert(chip.end(), items.pixels.begin() + y * 320 + left, items.pixels.begin() + y * 320 + left + 80);
        }
        chips.insert(chip);
    }
    EXPECT_EQ(chips.size(), 16u);
}

TEST(PainterTest, MarksFillTheirOwnCellsAndADashLeavesOneEmpty) {
    // Each mark is clipped to its cell: a neighbour left empty stays empty.
    const Canvas marks = painted("m.png 96 64 marks 32 - star pot swirl - bolt");
    const int ink[] = {inkIn(marks, 0, 0, 32, 32),  inkIn(marks, 32, 0, 32, 32),  inkIn(marks, 64, 0, 32, 32),
                       inkIn(marks, 0, 32, 32, 32), inkIn(marks, 32, 32, 32, 32), inkIn(marks, 64, 32, 32, 32)};
    EXPECT_EQ(ink[0], 0);
    EXPECT_EQ(ink[4], 0);
    for (int cell : {1, 2, 3, 5}) EXPECT_GT(ink[cell], 100) << "cell " << cell;
}

TEST(PainterTest, ArrowsSurroundThePlayersCell) {
    // Drawn at (270, 180): the player's cell is the texture's rows 28..108.
    const Canvas eight = painted("a8.tga 80 136 arrows 8");
    const Canvas four = painted("a4.tga 80 136 arrows 4");
    struct Spot {
        uint32_t x, y;
        bool diagonal;
    };
    const Spot spots[] = {{37, 12, false}, {37, 118, false}, {3, 65, false}, {71, 65, false},
                          {5, 33, true},   {69, 33, true},   {5, 97, true},  {69, 97, true}};
    for (const Spot& spot : spots) {
        EXPECT_GT(inkIn(eight, spot.x, spot.y, 6, 6), 8) << spot.x << "," << spot.y;
        EXPECT_EQ(inkIn(four, spot.x, spot.y, 6, 6) > 8, spot.diagonal) << spot.x << "," << spot.y;
    }
    EXPECT_EQ(inkIn(eight, 25, 50, 30, 36), 0) << "the middle stays clear for the player";
}

}  // namespace
