#include "game/dungeon/CCellObject.h"

#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"
#include "game/dungeon/CMapCell.h"

namespace {

using Fenwarrow::Dungeon::CCellObject;
using Fenwarrow::Dungeon::CMapCell;

struct Piece : CCellObject {
    int32_t getCellObjectType() const override { return kItem; }
};

TEST(CCellObject, DrawsOnlyAPlayingSpriteStandingOnACell) {
    Piece piece;
    EXPECT_TRUE(piece.isVisible());
    EXPECT_EQ(piece.getAnimationSpeed(), 1.0f);
    CMapCell cell;
    cell.initialize({2, 3});
    cell.setDrawPosition(64.0f, 96.0f);
    Orvex::Graphics::OxRenderQueue queue;
    piece.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 0u);  // stopped, on no cell

    auto frame = std::make_shared<Orvex::MossbellLib::OxAnimationData>(0, 1.0f);
    frame->priority = 5;
    piece.getAnimation()->getAnimationDataList().push_back(frame);
    piece.getAnimation()->play();
    piece.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 0u);  // still on no cell

    cell.addObject(&piece);
    piece.setDrawPriority(100);
    piece.setVisible(false);
    piece.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 0u);
    piece.setVisible(true);
    piece.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 1u);
}

TEST(CCellObject, AdvancesBySpeedAndHasNoDrawPositionOffTheMap) {
    Piece piece;
    auto frame = std::make_shared<Orvex::MossbellLib::OxAnimationData>(0, 10.0f);
    piece.getAnimation()->getAnimationDataList().push_back(frame);
    piece.getAnimation()->setLoopPlay(true);
    piece.getAnimation()->play();
    piece.setAnimationSpeed(0.5f);
    const float before = piece.getAnimation()->getCurrentTime();
    piece.update(1.0f);
    EXPECT_FLOAT_EQ(piece.getAnimation()->getCurrentTime() - before, 0.5f);

    float x = -1.0f;
    float y = -1.0f;
    EXPECT_FALSE(piece.getDrawPosition(x, y));
    EXPECT_EQ(x, -1.0f);
    CMapCell cell;
    cell.initialize({0, 0});
    cell.setDrawPosition(8.0f, 16.0f);
    cell.addObject(&piece);
    EXPECT_TRUE(piece.getDrawPosition(x, y));
    EXPECT_EQ((std::array{x, y}), (std::array{8.0f, 16.0f}));
    EXPECT_EQ(CCellObject::getCellObjectTypeName(3), nullptr);
    EXPECT_EQ(std::u16string(CCellObject::getCellObjectTypeName(1)), u"Actor");
}

}  // namespace
