#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/random/OxRandomRange.h"

namespace {

using Orvex::Random::getRange;
using Orvex::Random::getRangeReal;
using Orvex::Random::IOrvexRandomGenerator;
using Orvex::Random::OxMT19937RandomGenerator;

// Hands out the given values in turn and counts how many were drawn.
class ScriptedGenerator : public IOrvexRandomGenerator {
public:
    explicit ScriptedGenerator(std::vector<uint32_t> values) : values_(std::move(values)) {}
    void seed(uint32_t) override {}
    uint32_t getSeed() override { return 0; }
    uint32_t next() override { return values_.at(draws++ % values_.size()); }
    size_t draws = 0;

private:
    std::vector<uint32_t> values_;
};

TEST(OxMT19937RandomGenerator, ProducesTheMersenneTwisterSequenceOfItsSeed) {
    OxMT19937RandomGenerator fresh;  // the sequence of seed 0
    EXPECT_EQ(fresh.getSeed(), 0u);
    EXPECT_EQ(fresh.next(), 2357136044u);
    EXPECT_EQ(fresh.next(), 2546248239u);
    EXPECT_EQ(fresh.next(), 3071714933u);

    OxMT19937RandomGenerator generator;
    generator.seed(1);
    EXPECT_EQ(generator.getSeed(), 1u);
    EXPECT_EQ(generator.next(), 1791095845u);
    EXPECT_EQ(generator.next(), 4282876139u);

    generator.seed(5489);
    EXPECT_EQ(generator.next(), 3499211612u);
    for (int i = 2; i < 10000; ++i) {
        generator.next();
    }
    EXPECT_EQ(generator.next(), 4123659995u);  // the 10000th output

    generator.seed(0);  // re-seeding restarts the sequence
    EXPECT_EQ(generator.next(), 2357136044u);
}

TEST(OxMT19937RandomGenerator, AStateTakenMidSequenceGoesOnWithTheSameDraws) {
    OxMT19937RandomGenerator original;
    original.seed(77);
    for (int i = 0; i < 1000; ++i) {  // past one refill of the 624 words
        original.next();
    }
    const std::vector<uint32_t> state = original.getState();
    ASSERT_GE(state.size(), 625u);
    EXPECT_EQ(state[0], 77u);

    OxMT19937RandomGenerator restored;
    restored.seed(3);
    ASSERT_TRUE(restored.setState(state));
    EXPECT_EQ(restored.getSeed(), 77u);
    EXPECT_EQ(restored.getState(), state);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(restored.next(), original.next()) << "draw " << i;
    }

    // Lists that are no state of this generator leave it as it was.
    std::vector<uint32_t> longer = state;
    longer.resize(state.size() + 2, 1);
    for (const auto& bad : {std::vector<uint32_t>{}, std::vector<uint32_t>{77}, std::vector<uint32_t>(100, 1),
                            std::vector<uint32_t>(state.begin(), state.end() - 2), longer}) {
        const std::vector<uint32_t> before = restored.getState();
        EXPECT_FALSE(restored.setState(bad)) << bad.size() << " numbers";
        EXPECT_EQ(restored.getState(), before);
    }

    // A generator that cannot give its state says so with an empty list.
    ScriptedGenerator scripted({1});
    EXPECT_TRUE(scripted.getState().empty());
    EXPECT_FALSE(scripted.setState(state));
}

TEST(OxRandomRange, IntegersFollowTheModuloOfTheInclusiveSpan) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const struct {
        int32_t lo;
        int32_t hi;
        uint32_t drawn;
        int32_t expected;
    } cases[] = {
        {1, 10, 0, 1},
        {1, 10, 9, 10},
        {1, 10, 10, 1},
        {1, 10, 0xFFFFFFFFu, 6},
        {10, 1, 0xFFFFFFFFu, 6},   // swapped bounds: the same range
        {-5, 5, 0xFFFFFFFFu, -2},  // 4294967295 % 11 = 3
        {7, 3, 12, 5},
        {kMin, 0, 0xFFFFFFFFu, -2},     // a span above 2^31 still fits the unsigned arithmetic
        {kMin, kMax, 0xFFFFFFFFu, -1},  // the whole range: the draw as it is
        {kMax, kMin, 7, 7},
    };
    for (const auto& c : cases) {
        ScriptedGenerator generator({c.drawn});
        EXPECT_EQ(getRange(generator, c.lo, c.hi), c.expected) << c.lo << ".." << c.hi << " drew " << c.drawn;
        EXPECT_EQ(generator.draws, 1u);
    }
}

TEST(OxRandomRange, EqualBoundsGiveTheBoundWithoutDrawing) {
    ScriptedGenerator generator({3});
    EXPECT_EQ(getRange(generator, 5, 5), 5);
    EXPECT_EQ(getRangeReal(generator, 2.5f, 2.5f), 2.5f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(getRangeReal(generator, 1.0f, nan), 1.0f);
    EXPECT_TRUE(std::isnan(getRangeReal(generator, nan, 1.0f)));
    EXPECT_EQ(generator.draws, 0u);
}

TEST(OxRandomRange, RealsScaleTheDrawOverTheBoundsEitherWayRound) {
    const struct {
        float lo;
        float hi;
        uint32_t drawn;
        float expected;
    } cases[] = {
        {1.0f, 2.0f, 0, 1.0f},
        {1.0f, 2.0f, 0x80000000u, 1.5f},
        {2.0f, 1.0f, 0x80000000u, 1.5f},
        {106.0f, 150.0f, 0x40000000u, 117.0f},
        {-4.0f, 4.0f, 0xC0000000u, 2.0f},
        // Just below 1 as a double, but the product is rounded to float first: the upper
        // bound itself comes out.
        {1.0f, 2.0f, 0xFFFFFFFFu, 2.0f},
    };
    for (const auto& c : cases) {
        ScriptedGenerator generator({c.drawn});
        EXPECT_EQ(getRangeReal(generator, c.lo, c.hi), c.expected) << c.lo << ".." << c.hi << " drew " << c.drawn;
    }
}

TEST(OxRandomRange, DrawsFromARealGeneratorStayInsideTheBounds) {
    OxMT19937RandomGenerator generator;
    generator.seed(20240601);
    for (int i = 0; i < 2000; ++i) {
        const int32_t n = getRange(generator, 7, 3);
        EXPECT_TRUE(n >= 3 && n <= 7) << n;
        const float r = getRangeReal(generator, 2.0f, 1.0f);
        EXPECT_TRUE(r >= 1.0f && r <= 2.0f) << r;
    }
}

}  // namespace

// The game thread and the floor's worker draw from one generator. Together they must get
// exactly the draws one thread would have got: an unguarded generator hands out some values
// twice, skips others, and can step past its state array while it regenerates.
TEST(OxMT19937RandomGenerator, TwoThreadsDrawingTogetherShareOneSequence) {
    constexpr int kDraws = 200000;
    Orvex::Random::OxMT19937RandomGenerator shared;
    shared.seed(4357u);
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
    first.reserve(kDraws);
    second.reserve(kDraws);
    std::thread worker([&] {
        for (int i = 0; i < kDraws; ++i) {
            second.push_back(shared.next());
        }
    });
    for (int i = 0; i < kDraws; ++i) {
        first.push_back(shared.next());
    }
    worker.join();

    Orvex::Random::OxMT19937RandomGenerator alone;
    alone.seed(4357u);
    std::vector<uint32_t> expected;
    for (int i = 0; i < 2 * kDraws; ++i) {
        expected.push_back(alone.next());
    }
    std::vector<uint32_t> drawn = second;
    drawn.insert(drawn.end(), first.begin(), first.end());
    std::sort(drawn.begin(), drawn.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(drawn == expected) << "draws were repeated or lost";

    // A seed from one thread while the other draws: the next draws come from a whole state.
    std::atomic<bool> stop{false};
    std::thread seeder([&] {
        while (!stop.load()) {
            shared.seed(99u);
        }
    });
    for (int i = 0; i < kDraws; ++i) {
        shared.next();
    }
    stop.store(true);
    seeder.join();
    shared.seed(99u);
    alone.seed(99u);
    EXPECT_EQ(shared.next(), alone.next());
}
