#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/movie/MoviePacing.h"
#include "engine/movie/PcmConversion.h"
#include "engine/movie/YuvToRgbTables.h"

namespace {

using Theora::YuvToRgbTables;

TEST(YuvToRgbTablesTest, PixelsFollowTheFixedPointTablesWithFlooringShifts) {
    const YuvToRgbTables& tables = YuvToRgbTables::instance();
    struct Case {
        uint8_t y, u, v;
        uint32_t argb;
    };
    // (0,0,0): luma -19, red -223, green -19+50+104 (floored chroma terms), blue -277.
    for (const Case& c : {Case{16, 128, 128, 0xFF000000u}, Case{235, 128, 128, 0xFFFEFEFEu}, Case{0, 0, 0, 0xFF008700u},
                          Case{255, 255, 255, 0xFFFF7DFFu}}) {
        EXPECT_EQ(tables.pixel(c.y, c.u, c.v), c.argb) << int(c.y) << "," << int(c.u) << "," << int(c.v);
    }
    EXPECT_EQ(tables.clamp(-384), 0);
    EXPECT_EQ(tables.clamp(254), 254);
    EXPECT_EQ(tables.clamp(639), 255);
}

TEST(YuvToRgbTablesTest, ConvertTakesThePictureAtItsOffsetWithHalvedChroma) {
    const YuvToRgbTables& tables = YuvToRgbTables::instance();
    // 8 x 4 luma (stride 10), 4 x 2 chroma (stride 6); the picture is 3 x 2 at (1, 1).
    std::vector<uint8_t> y(10 * 4), u(6 * 2), v(6 * 2);
    for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<uint8_t>(20 + 5 * i);
    for (size_t i = 0; i < u.size(); ++i) {
        u[i] = static_cast<uint8_t>(60 + 13 * i);
        v[i] = static_cast<uint8_t>(200 - 11 * i);
    }
    Theora::YuvPlanes planes{y.data(), u.data(), v.data(), 10, 6};
    std::vector<uint32_t> out(4 * 2, 0);
    tables.convert(planes, 1, 1, 3, 2, out.data(), 4);
    for (uint32_t row = 0; row < 2; ++row) {
        for (uint32_t column = 0; column < 3; ++column) {
            const uint32_t lx = 1 + column, ly = 1 + row;
            const size_t chroma = (ly / 2) * 6 + lx / 2;
            EXPECT_EQ(out[row * 4 + column], tables.pixel(y[ly * 10 + lx], u[chroma], v[chroma]))
                << column << "," << row;
        }
        EXPECT_EQ(out[row * 4 + 3], 0u);  // past the picture's row: untouched
    }
}

TEST(PcmConversionTest, ScalesTruncatesAndClamps) {
    struct Case {
        float in;
        int16_t out;
    };
    for (const Case& c : {Case{1.0f, 32767}, Case{-1.0f, -32767}, Case{2.5f, 32767}, Case{-2.5f, -32768},
                          Case{0.5f, 16383}, Case{-0.5f, -16383}, Case{0.0f, 0}}) {
        const float* planes[1] = {&c.in};
        int16_t out = 99;
        uint32_t written = 0;
        EXPECT_EQ(Theora::convertToPcm16(planes, 1, 1, &out, 1, written), 1u);
        EXPECT_EQ(written, 1u);
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(PcmConversionTest, InterleavesAndCountsOnlyWholeFramesWhenTheBufferFills) {
    const float left[3] = {0.1f, 0.2f, 0.3f};
    const float right[3] = {-0.1f, -0.2f, -0.3f};
    const float* planes[2] = {left, right};
    struct Case {
        uint32_t capacity, frames, samples;
    };
    for (const Case& c : {Case{6, 3, 6}, Case{8, 3, 6}, Case{5, 2, 5}, Case{4, 2, 4}}) {
        std::vector<int16_t> out(c.capacity, 0);
        uint32_t written = 0;
        EXPECT_EQ(Theora::convertToPcm16(planes, 2, 3, out.data(), c.capacity, written), c.frames) << c.capacity;
        EXPECT_EQ(written, c.samples);
        EXPECT_EQ(out[1], static_cast<int16_t>(-0.1f * 32767.0f));
        EXPECT_EQ(out[2], static_cast<int16_t>(0.2f * 32767.0f));
    }
}

TEST(MoviePacingTest, ShowsDueFramesAndOneLateFrameEveryQuarterSecond) {
    struct Case {
        double frameTime, now, lastShown;
        bool show;
        uint32_t waitMs;
    };
    for (const Case& c :
         {Case{0.04, 0.0, 0.0, true, 40}, Case{1.0, 2.0, 1.9, false, 0}, Case{1.0, 2.0, 1.75, true, 0},
          Case{1.0, 1.0, 0.9, false, 0}, Case{2.5, 1.0, 0.9, true, 1500}, Case{0.0416, 0.02, 0.0, true, 21}}) {
        EXPECT_EQ(Theora::shouldShowFrame(c.frameTime, c.now, c.lastShown), c.show) << c.frameTime << "@" << c.now;
        EXPECT_EQ(Theora::frameWaitMs(c.frameTime, c.now), c.waitMs) << c.frameTime << "@" << c.now;
    }
}

}  // namespace
