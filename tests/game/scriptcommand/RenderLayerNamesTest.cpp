#include <gtest/gtest.h>

#include <string>

#include "game/services/RenderLayerNames.h"

namespace {

using namespace Fenwarrow::ScriptCommand;

TEST(RenderLayerNames, NamesMapToTheirPrioritiesExactly) {
    const std::pair<std::u16string, uint32_t> cases[] = {
        {u"Undermost", 10000000},
        {u"BackGround", 9750000},
        {u"MapBackChip2", 9000000},
        {u"ScreenEffect", 5500000},
        {u"Debug", 1000000},
        {u"background", 0},
        {u" Debug", 0},
        {u"Debug ", 0},
        {u"", 0},
        {u"MapBackChip3", 0},
    };
    for (const auto& [name, priority] : cases) {
        EXPECT_EQ(getRenderPriority(name), priority) << std::string(name.begin(), name.end());
    }
}

TEST(RenderLayerNames, PrioritiesMapBackToNamesAndOthersToNull) {
    EXPECT_EQ(std::u16string(getRenderLayerName(5500000)), u"ScreenEffect");
    EXPECT_EQ(std::u16string(getRenderLayerName(8500000)), u"Actor");
    EXPECT_EQ(getRenderLayerName(0), nullptr);
    EXPECT_EQ(getRenderLayerName(8450000), nullptr);
}

TEST(RenderLayerNames, EveryNameRoundTripsAndTheTableDescends) {
    uint32_t previous = 0xFFFFFFFFu;
    for (uint32_t p = 1000000; p <= 10000000; p += 5000) {
        if (const char16_t* name = getRenderLayerName(p)) {
            EXPECT_EQ(getRenderPriority(name), p);
        }
    }
    const char16_t* order[] = {u"Undermost",  u"BackGround", u"MapGround",    u"MapBackChip",  u"MapBackChip2",
                               u"Floor",      u"Item",       u"BackActor",    u"Actor",        u"FrontActor",
                               u"TopActor",   u"Effect",     u"MapFrontChip", u"FrontEffect",  u"MapAddChip",
                               u"PostEffect", u"LogWindow",  u"UnderMiniMap", u"MiniMap",      u"OverMiniMap",
                               u"HUD",        u"ADV",        u"GameMenu",     u"ScreenEffect", u"Topmost",
                               u"Debug"};
    for (const char16_t* name : order) {
        const uint32_t priority = getRenderPriority(name);
        EXPECT_LT(priority, previous);
        previous = priority;
    }
}

TEST(RenderLayerNames, ChipLayersWithoutAKnownNameTakeTheLastNamedBehindThem) {
    // Walked from the last layer to the first.
    const std::vector<std::u16string> names{u"", u"MapBackChip", u"ground detail", u"MapFrontChip", u"", u"mapaddchip"};
    EXPECT_EQ(getChipLayerPriorities(names), (std::vector<uint32_t>{9250000, 9250000, 8000000, 8000000, 0, 0}));
    EXPECT_TRUE(getChipLayerPriorities({}).empty());
}

}  // namespace
