#include <gtest/gtest.h>

#include "engine/scene/OxSceneController.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/CStartUp.h"
#include "game/scene/SceneNumbers.h"
#include "tests/game/scene/SceneTestContext.h"

namespace {

using namespace Fenwarrow::Scene;
using Orvex::SceneController::OxSceneController;

TEST(CSceneFactory, NumbersOutsideTheTableGiveNothing) {
    SceneTest::SceneTestContext context;
    CSceneFactory factory(context);
    for (const int32_t number : {0, 21, -1, 1000}) {
        EXPECT_EQ(factory.create(number), nullptr) << number;
    }
    EXPECT_NE(dynamic_cast<CStartUp*>(factory.create(kSceneStartUp).get()), nullptr);
    EXPECT_NE(factory.create(kSceneStartUp), factory.create(kSceneStartUp));  // never reused
}

TEST(CStartUp, ChangesToTheLogoOnItsThirtiethUpdate) {
    SceneTest::SceneTestContext context;
    OxSceneController controller(std::make_shared<CSceneFactory>(context), -1);
    ASSERT_TRUE(controller.pushScene(kSceneStartUp));
    for (int frame = 1; frame < 30; ++frame) {
        ASSERT_TRUE(controller.update());
        ASSERT_EQ(controller.requestKind, Orvex::SceneController::kRequestNone) << frame;
    }
    ASSERT_TRUE(controller.update());
    EXPECT_EQ(controller.requestKind, static_cast<uint32_t>(kRequestChange));
    EXPECT_EQ(controller.requestId, kSceneLogo);
}

}  // namespace
