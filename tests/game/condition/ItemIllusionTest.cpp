// Items on the floor as the player sees them: their own sprite, and under the hallucination the
// common illusion picture in its place, drawn through the real common data and render queue.
#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"
#include "game/actor/ConditionType.h"
#include "game/item/CItem.h"
#include "game/services/CCommonDataManager.h"
#include "tests/engine/graphics/GraphicsTestDoubles.h"
#include "tests/game/condition/ConditionFloorFixture.h"

namespace ConditionTest {
namespace {

using Fenwarrow::Actor::kConditionTrip;
using Fenwarrow::Item::CItem;
using Orvex::Graphics::IOrvexTexture;
using Orvex::Graphics::Testing::CountedTexture;
using Orvex::Graphics::Testing::DrawCall;

class ItemIllusion : public ConditionFloor {
protected:
    static constexpr Fenwarrow::Dungeon::MapPoint kItemCell{5, 1};
    static constexpr float kCellX = 400.0f;
    static constexpr float kCellY = 80.0f;
    static constexpr uint32_t kFramePriority = 3;

    // Every common texture, so that a wrong index would still find a picture, only not this one.
    std::vector<Orvex::Packer::PackerEntry> extraEntries() const override {
        return {{u"Common/Texture/GeneralWindow/Frame.png", {'f'}, false},
                {u"Common/Texture/GeneralWindow/Icon.png", {'i'}, false},
                {u"Common/Texture/Condition.dds", {'c'}, false},
                {u"Common/Texture/Illusion/Item.tga", {'t'}, false}};
    }

    void SetUp() override {
        ConditionFloor::SetUp();
        ASSERT_TRUE(common_.initialize(context_.reader, &rig_.textures, *context_.audioDevice));
        context_.commonData = &common_;
        floor_->getMap().getCell(kItemCell)->setDrawPosition(kCellX, kCellY);
    }
    void TearDown() override {
        for (const auto& item : items_) {
            floor_->deleteCellObject(item.get());
        }
        items_.clear();
        context_.commonData = nullptr;
        ConditionFloor::TearDown();
    }

    enum class Look { kPlaying, kStopped, kNone };

    // An item on the item cell; its sprite has one 40 x 40 frame on a texture of its own
    // (playing or stopped), or no frame at all when its look was never built. The fixture holds
    // it and takes it off the floor at the end. The hallucination gives the items on the floor a
    // look of its own when it starts, so the tests put theirs down afterwards.
    CItem& placeItem(Look look = Look::kPlaying) {
        auto item = std::make_shared<CItem>(context_, 100);
        items_.push_back(item);
        auto& sprite = *item->getAnimation();
        if (look != Look::kNone) {
            auto* texture = new CountedTexture(40, 40);
            sprite.addTexture(texture, u"sword.png");
            spriteTexture_ = texture;
            texture->release();
            auto chip = std::make_shared<Orvex::MossbellLib::OxChipData>(0);
            chip->setChipRectangle(0.0f, 0.0f, 40.0f, 40.0f);
            sprite.getChipList().push_back(chip);
            auto frame = std::make_shared<Orvex::MossbellLib::OxAnimationData>(0, 1.0f);
            frame->priority = kFramePriority;
            sprite.getAnimationDataList().push_back(frame);
        }
        if (look == Look::kPlaying) {
            sprite.play();
        }
        EXPECT_TRUE(floor_->putCellObject(item.get(), kItemCell, false));
        return *item;
    }

    // The item drawn between two fills queued at that priority, one before and one after it;
    // the drawer's calls in drawing order. Equal priorities run the later entry first, so an
    // entry of exactly that priority lands between the fills: after fill 1, before fill 0.
    std::vector<DrawCall> drawAt(CItem& item, uint32_t priority, std::size_t& queued) {
        Orvex::Graphics::OxRenderQueue queue;
        auto* sprite = &rig_.sprite;
        queue.add(priority, [sprite] { fill(*sprite, 0.0f); });
        item.draw(queue, &rig_.renderer);
        queue.add(priority, [sprite] { fill(*sprite, 1.0f); });
        queued = queue.size() - 2;
        queue.sort();
        queue.draw();
        return rig_.sprite.calls;
    }
    static void fill(Orvex::Graphics::IOrvexSpriteDraw& sprite, float mark) {
        const float colour[4] = {mark, 0.0f, 0.0f, 1.0f};
        const Orvex::Graphics::OxRect nowhere{};
        sprite.drawFill(colour, &nowhere);
    }
    // The common texture of that index, without the reference the manager hands out.
    IOrvexTexture* commonTexture(int32_t index) const {
        IOrvexTexture* texture = common_.getTexture(index);
        if (texture != nullptr) {
            texture->release();
        }
        return texture;
    }

    Orvex::Graphics::Testing::RendererRig rig_;
    Fenwarrow::CCommonDataManager common_;
    IOrvexTexture* spriteTexture_ = nullptr;
    std::vector<std::shared_ptr<CItem>> items_;
};

void expectBetweenTheFills(const std::vector<DrawCall>& calls) {
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_TRUE(calls[0].fill);
    EXPECT_EQ(calls[0].colour[0], 1.0f) << "the fill queued after the item comes first";
    EXPECT_FALSE(calls[1].fill);
    EXPECT_TRUE(calls[2].fill);
    EXPECT_EQ(calls[2].colour[0], 0.0f);
}

TEST_F(ItemIllusion, WithoutTheHallucinationAnItemShowsItsOwnSprite) {
    CItem& item = placeItem();
    std::size_t queued = 0;
    const auto calls = drawAt(item, CItem::kDrawPriority + kFramePriority, queued);
    EXPECT_EQ(queued, 1u);
    expectBetweenTheFills(calls);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].texture, spriteTexture_);
    EXPECT_EQ(calls[1].destination.left, kCellX);
    EXPECT_EQ(calls[1].destination.top, kCellY);
    EXPECT_EQ(calls[1].destination.right, kCellX + 40.0f);
    EXPECT_EQ(calls[1].destination.bottom, kCellY + 40.0f);
}

TEST_F(ItemIllusion, UnderTheHallucinationAnItemIsTheIllusionPictureAtItsDrawPriority) {
    ASSERT_TRUE(add(*player_, kConditionTrip));
    CItem& item = placeItem();
    IOrvexTexture* illusion = commonTexture(3);
    ASSERT_NE(illusion, nullptr);

    std::size_t queued = 0;
    const auto calls = drawAt(item, CItem::kDrawPriority, queued);
    EXPECT_EQ(queued, 1u);
    expectBetweenTheFills(calls);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].texture, illusion);
    EXPECT_FALSE(calls[1].hasSource) << "the whole picture";
    EXPECT_EQ(calls[1].destination.left, kCellX);
    EXPECT_EQ(calls[1].destination.top, kCellY);
    EXPECT_EQ(calls[1].destination.right, kCellX + static_cast<float>(illusion->getWidth()));
    EXPECT_EQ(calls[1].destination.bottom, kCellY + static_cast<float>(illusion->getHeight()));
}

TEST_F(ItemIllusion, UnderTheHallucinationAHiddenOrUnanimatedItemShowsNothing) {
    ASSERT_TRUE(add(*player_, kConditionTrip));
    struct Case {
        const char* what;
        Look look;
        bool visible;
    } cases[] = {
        {"hidden", Look::kPlaying, false}, {"stopped sprite", Look::kStopped, true}, {"no look", Look::kNone, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig_.sprite.calls.clear();
        CItem& item = placeItem(c.look);
        item.setVisible(c.visible);
        std::size_t queued = 0;
        const auto calls = drawAt(item, CItem::kDrawPriority, queued);
        EXPECT_EQ(queued, 0u);
        EXPECT_EQ(calls.size(), 2u) << "only the two fills";
        floor_->deleteCellObject(&item);
    }
}

}  // namespace
}  // namespace ConditionTest
