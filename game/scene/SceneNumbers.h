#pragma once
// The numbers of the game's scenes and the kinds of request a scene posts to its controller.
#include <cstdint>

namespace Fenwarrow::Scene {

enum SceneNumber : int32_t {
    kSceneSelector = 1,
    kSceneStartUp = 2,
    kSceneLogo = 3,
    kSceneMovie = 4,
    kSceneTitle = 5,
    kScenePlayDemo = 6,
    kSceneDungeon = 7,
    kSceneAdventure = 8,
    kSceneWorldMap = 9,
    kSceneResult = 10,
    kSceneExtra = 11,
    kScenePromotion = 12,
    kSceneDebugRoom = 13,
    kSceneDungeonDebug = 14,
    kSceneFontTest = 15,
    kSceneSpriteTest = 16,
    kSceneInputTest = 17,
    kSceneAudioTest = 18,
    kSceneMossbellTest = 19,
    kSceneScriptTest = 20,
};

enum SceneRequestKind : uint32_t {
    kRequestChange = 1,
    kRequestPush = 2,
    kRequestCall = 3,
    kRequestReturn = 4,
    kRequestQuit = 5,
};

}  // namespace Fenwarrow::Scene
