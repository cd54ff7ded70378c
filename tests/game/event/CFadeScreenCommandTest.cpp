#include "game/event/CFadeScreenCommand.h"

#include <memory>

#include <gtest/gtest.h>

#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "game/event/CDeletePageCommand.h"
#include "game/event/CEvent.h"
#include "game/event/CEventLayer.h"
#include "game/event/CEventPage.h"

namespace {

using namespace Fenwarrow::Event;
using namespace Fenwarrow::Event::Command;
using Orvex::Graphics::OxScreenEffectController;
using Status = CCommandBase::CommandStatus;

CommandParameters fade(float time, float delay, const std::u16string& type) {
    return {{u"fadeTime", time}, {u"delayTime", delay}, {u"fadeType", type}};
}

// A layer with one event whose one page holds the commands; frames run the screen effects
// before the layers, as the game does.
class FadePage : public ::testing::Test {
protected:
    std::shared_ptr<CFadeScreenCommand> addFade(const CommandParameters& parameters) {
        auto command = std::make_shared<CFadeScreenCommand>(&effects_);
        command->setup(u"setFade", parameters);
        page_->addCommand(command);
        return command;
    }
    void frame(float seconds) {
        effects_.update(nullptr, seconds);
        layer_.update();
    }
    void SetUp() override {
        event_->addPage(page_);
        layer_.addEvent(event_);
    }

    OxScreenEffectController effects_;
    CEventLayer layer_;
    std::shared_ptr<CEvent> event_ = std::make_shared<CEvent>();
    std::shared_ptr<CEventPage> page_ = std::make_shared<CEventPage>();
};

TEST_F(FadePage, PageWaitsOnTheFadeAndIsRemovedInTheFrameItEnds) {
    auto command = addFade(fade(0.5f, 0.0f, u"FadeOut"));
    page_->addCommand(std::make_shared<CDeletePageCommand>());
    frame(0.0f);
    EXPECT_EQ(command->getStatus(), Status::kRunning);
    EXPECT_EQ(command->getEffect(), nullptr);  // the controller owns it now
    EXPECT_EQ(effects_.size(), 1u);
    frame(0.25f);
    EXPECT_EQ(event_->getPages().size(), 1u);
    EXPECT_EQ(page_->getCurrentIndex(), 0u);
    frame(0.25f);  // the fade finishes, its command ends and DeletePage runs in this frame
    EXPECT_EQ(command->getStatus(), Status::kIdle);
    EXPECT_TRUE(event_->getPages().empty());
    EXPECT_EQ(effects_.size(), 0u);  // removed when finished: the overlay is gone
}

TEST_F(FadePage, AFadeThatNeverStartedFinishesAtOnceInsteadOfHoldingThePage) {
    // A zero time, an unknown fade type, a missing or mistyped key: nothing is configured.
    const CommandParameters unstarted[] = {
        fade(0.0f, 0.0f, u"FadeIn"),
        fade(1.0f, 0.0f, u"Fade"),
        {{u"fadeTime", 1.0f}, {u"fadeType", std::u16string(u"FadeIn")}},
        {{u"fadeTime", std::u16string(u"1")}, {u"delayTime", 0.0f}, {u"fadeType", std::u16string(u"FadeIn")}},
    };
    for (const auto& parameters : unstarted) {
        addFade(parameters);
    }
    page_->addCommand(std::make_shared<CDeletePageCommand>());
    frame(0.0f);
    EXPECT_TRUE(event_->getPages().empty());
    EXPECT_EQ(effects_.size(), 0u);
}

TEST_F(FadePage, SecondRunOfTheSameCommandDoesNotWaitForGood) {
    auto command = addFade(fade(0.1f, 0.0f, u"FadeIn"));
    frame(0.0f);
    frame(0.1f);  // finished; the page loops back to the fade at its next update
    EXPECT_EQ(command->getStatus(), Status::kIdle);
    frame(0.0f);  // a fresh, never started fade: done at once
    EXPECT_EQ(command->getStatus(), Status::kIdle);
    EXPECT_EQ(effects_.size(), 0u);
}

TEST_F(FadePage, DeletingThePageOrQuittingDuringTheFadeLeavesNoCallbackIntoTheCommand) {
    auto command = addFade(fade(1.0f, 0.0f, u"FadeOut"));
    frame(0.0f);
    ASSERT_EQ(effects_.size(), 1u);
    std::weak_ptr<CFadeScreenCommand> watch = command;
    command.reset();
    layer_.clear();  // the floor's layer clear while the fade runs
    page_.reset();
    event_.reset();
    ASSERT_TRUE(watch.expired());
    frame(2.0f);       // the fade finishes with nobody to tell
    effects_.clear();  // and a quit that finishes what is left
    EXPECT_EQ(effects_.size(), 0u);
}

TEST(CFadeScreenCommandTest, ConfiguresTheFadeAndColourOnlyBeforeItBegins) {
    OxScreenEffectController effects;
    CFadeScreenCommand command(&effects);
    command.setup(u"setColor", {{u"a", 0.5f}, {u"r", 1.0f}, {u"g", 0.25f}, {u"b", 0.0f}});
    command.setup(u"setColor", {{u"a", 0.1f}, {u"r", 0.0f}, {u"g", 0.0f}});  // "b" missing: ignored
    command.setup(u"setFade", fade(2.0f, 0.5f, u"FadeIn"));
    command.setup(u"setSomething", fade(3.0f, 0.0f, u"FadeOut"));
    const auto* effect = command.getEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_FLOAT_EQ(effect->getMaxAlpha(), 0.5f);
    EXPECT_EQ(effect->getColor(), (Orvex::Graphics::OxColor{1.0f, 0.25f, 0.0f, 1.0f}));
    EXPECT_EQ(effect->getKind(), Orvex::Graphics::OxFadeScreenEffect::kFadeIn);
    EXPECT_FLOAT_EQ(effect->getDuration(), 2.0f);
    EXPECT_FLOAT_EQ(effect->getDelay(), 0.5f);
    EXPECT_TRUE(effect->isActive());

    CEventPage page;
    command.run(page);
    EXPECT_EQ(command.getStatus(), Status::kRunning);
    command.setup(u"setFade", fade(9.0f, 0.0f, u"FadeOut"));  // begun: nothing to configure
    EXPECT_EQ(command.getEffect(), nullptr);
    effects.update(nullptr, 2.5f);
    EXPECT_EQ(command.getStatus(), Status::kDone);
    command.run(page);
    EXPECT_EQ(command.getStatus(), Status::kIdle);
}

TEST(CFadeScreenCommandTest, WithoutAControllerAFadeFinishesAtOnce) {
    CFadeScreenCommand command(nullptr);
    command.setup(u"setFade", fade(1.0f, 0.0f, u"FadeOut"));
    CEventPage page;
    command.run(page);
    EXPECT_EQ(command.getStatus(), Status::kIdle);
}

}  // namespace
