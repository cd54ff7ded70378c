#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxFillImageScreenEffect.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "tests/engine/graphics/GraphicsTestDoubles.h"

namespace Orvex::Graphics {
namespace {

using Testing::RendererRig;

// Runs one update and one draw, the way a frame does; returns the alpha drawn or -1.
float step(RendererRig& rig, OxFadeScreenEffect& fade, float dt) {
    fade.update(&rig.renderer, dt);
    rig.sprite.calls.clear();
    fade.draw(&rig.renderer);
    if (rig.sprite.calls.empty()) {
        return -1.0f;
    }
    EXPECT_TRUE(rig.sprite.calls[0].fill);
    EXPECT_FLOAT_EQ(800.0f, rig.sprite.calls[0].destination.right);
    EXPECT_FLOAT_EQ(600.0f, rig.sprite.calls[0].destination.bottom);
    return rig.sprite.calls[0].colour[3];
}

TEST(OxFadeScreenEffectTest, FadeOutWithDelayDrawsTheStatedAlphasAndFinishesOnce) {
    RendererRig rig;
    OxFadeScreenEffect fade(OxFadeScreenEffect::kFadeOut, 1.0f, 0.5f, true);
    int calls = 0;
    fade.addCallback([&] { ++calls; });
    const float expected[] = {-1.0f, 0.0f, 0.25f, 0.5f, 0.75f, -1.0f};
    for (float alpha : expected) {
        EXPECT_FLOAT_EQ(alpha, step(rig, fade, 0.25f));
    }
    EXPECT_EQ(1, calls);
    EXPECT_TRUE(fade.isFinished());
    EXPECT_FALSE(fade.start());
    fade.finish();  // inactive: no second run
    EXPECT_EQ(1, calls);
}

TEST(OxFadeScreenEffectTest, DelayOvershootFadeInLimitAndZeroDuration) {
    RendererRig rig;
    OxFadeScreenEffect delayed(OxFadeScreenEffect::kFadeOut, 1.0f, 0.3f, false);
    delayed.update(&rig.renderer, 0.25f);
    delayed.update(&rig.renderer, 0.25f);
    EXPECT_NEAR(0.2f, delayed.getElapsed(), 1e-6f);

    OxFadeScreenEffect fadeIn;
    fadeIn.setMaxAlpha(0.5f);
    fadeIn.startFadeIn(1.0f, 0.0f);
    EXPECT_FLOAT_EQ(0.75f, step(rig, fadeIn, 0.5f));
    fadeIn.update(&rig.renderer, 0.5f);
    EXPECT_FLOAT_EQ(0.5f, fadeIn.getAlpha());
    EXPECT_FALSE(fadeIn.isActive());
    // Not removed when finished: it may start again.
    EXPECT_TRUE(fadeIn.start());

    int calls = 0;
    auto never = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeOut, 0.0f, 0.0f, true);
    never->addCallback([&] { ++calls; });
    never->startFadeOut(0.0f, 0.0f);
    OxScreenEffectController controller;
    controller.add(never);
    for (int i = 0; i < 3; ++i) {
        controller.update(&rig.renderer, 1.0f);
    }
    rig.sprite.calls.clear();
    controller.draw(&rig.renderer);
    EXPECT_FALSE(never->isActive());
    EXPECT_TRUE(rig.sprite.calls.empty());
    EXPECT_EQ(1u, controller.size());
    never.reset();
    controller.clear();
    EXPECT_EQ(0, calls);
}

TEST(OxFadeScreenEffectTest, DrawInsideAnOpenBracketFillsAndLeavesTheBracketOpen) {
    RendererRig rig;
    OxFadeScreenEffect fade(OxFadeScreenEffect::kFadeIn, 1.0f, 0.0f, false);
    fade.setColor(OxColor{0.2f, 0.4f, 0.6f, 1.0f});
    rig.sprite.begin();
    fade.draw(&rig.renderer);
    ASSERT_EQ(1u, rig.sprite.calls.size());
    EXPECT_FLOAT_EQ(0.4f, rig.sprite.calls[0].colour[1]);
    EXPECT_FLOAT_EQ(1.0f, rig.sprite.calls[0].colour[3]);
    EXPECT_TRUE(rig.sprite.open);
    EXPECT_EQ(0, rig.sprite.endCalls);

    // A failing viewport query skips the draw.
    ON_CALL(rig.graphics, getViewport(::testing::_)).WillByDefault(::testing::Return(kOxErrFailed));
    rig.sprite.calls.clear();
    fade.draw(&rig.renderer);
    EXPECT_TRUE(rig.sprite.calls.empty());
}

TEST(OxScreenEffectTest, CallbacksRunOnceInOrderAlsoWhenDestroyedEarlyAndCanBeRemoved) {
    std::string log;
    uint32_t removedId = 0;
    {
        OxFadeScreenEffect fade(OxFadeScreenEffect::kFadeOut, 1.0f, 0.0f, false);
        EXPECT_EQ(1u, fade.addCallback([&] { log += "a"; }));
        removedId = fade.addCallback([&] { log += "b"; });
        EXPECT_EQ(2u, removedId);
        fade.addCallback([&] { log += "c"; });
        fade.removeCallback(removedId);
        fade.removeCallback(99);  // unknown: nothing
    }
    EXPECT_EQ("ac", log);

    // A callback whose owner goes away while the effect finishes removes a later one.
    log.clear();
    OxFadeScreenEffect fade(OxFadeScreenEffect::kFadeOut, 1.0f, 0.0f, false);
    uint32_t later = 0;
    fade.addCallback([&] {
        log += "first";
        fade.removeCallback(later);
    });
    later = fade.addCallback([&] { log += "later"; });
    fade.finish();
    EXPECT_EQ("first", log);
}

TEST(OxScreenEffectControllerTest, DropsFinishedEffectsDrawsByPriorityAndClearFinishesEachOnce) {
    RendererRig rig;
    OxScreenEffectController controller;
    std::string log;

    auto first = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeOut, 1.0f, 0.0f, false);
    first->setColor(OxColor{1, 0, 0, 1});
    auto second = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeOut, 1.0f, 0.0f, false);
    second->setColor(OxColor{0, 1, 0, 1});
    auto back = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeOut, 1.0f, 0.0f, false);
    back->setColor(OxColor{0, 0, 1, 1});
    back->setPriority(10);
    controller.add(first);
    controller.add(second);
    controller.add(back);
    controller.draw(&rig.renderer);
    ASSERT_EQ(3u, rig.sprite.calls.size());
    // Highest priority first; equal priorities in reverse order of adding.
    EXPECT_FLOAT_EQ(1.0f, rig.sprite.calls[0].colour[2]);
    EXPECT_FLOAT_EQ(1.0f, rig.sprite.calls[1].colour[1]);
    EXPECT_FLOAT_EQ(1.0f, rig.sprite.calls[2].colour[0]);

    // A short fade that removes itself; its callback adds a new effect and clears nothing.
    auto quick = std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeIn, 0.1f, 0.0f, true);
    std::weak_ptr<OxFadeScreenEffect> watch = quick;
    quick->addCallback([&] {
        log += "quick";
        controller.add(std::make_shared<OxFadeScreenEffect>(OxFadeScreenEffect::kFadeIn, 5.0f, 0.0f, true));
    });
    controller.add(quick);
    quick.reset();
    controller.update(&rig.renderer, 0.25f);
    EXPECT_EQ("quick", log);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(4u, controller.size());

    // remove finishes the effect; clear empties first, then finishes in order.
    first->addCallback([&] { log += "|first"; });
    controller.remove(first);
    EXPECT_EQ(3u, controller.size());
    second->addCallback([&] {
        log += "|second" + std::to_string(controller.size());
        controller.add(std::make_shared<OxFadeScreenEffect>());
    });
    controller.clear();
    EXPECT_EQ("quick|first|second0", log);
    EXPECT_EQ(1u, controller.size());
    second.reset();
    EXPECT_EQ("quick|first|second0", log);  // finished already: no second run on destruction
}

TEST(OxFillImageScreenEffectTest, HoldsItsTextureAndDrawsOnlyInItsOwnBracket) {
    RendererRig rig;
    auto* texture = new Testing::CountedTexture(64, 64);
    {
        OxFillImageScreenEffect effect(texture, 0, 0, 0, 0);
        EXPECT_EQ(2u, texture->getRefCount());
        effect.start();
        effect.draw(&rig.renderer);
        ASSERT_EQ(1u, rig.sprite.calls.size());
        EXPECT_FALSE(rig.sprite.calls[0].hasSource);
        EXPECT_FALSE(rig.sprite.open);
        rig.sprite.begin();
        effect.draw(&rig.renderer);
        EXPECT_EQ(1u, rig.sprite.calls.size());
    }
    EXPECT_EQ(1u, texture->getRefCount());
    texture->release();
}

}  // namespace
}  // namespace Orvex::Graphics
