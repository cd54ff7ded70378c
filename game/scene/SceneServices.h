#pragma once
// What the scripted and bookkeeping scenes need of the game beyond the scene context. The game
// manager fills it for the scene factory; tests fill it from explicit objects. Every member may
// be empty: a scene then goes without that service (and says so where that loses something).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Orvex::FontLib {
class OxBitmapFontLoader;
class OxFontRenderer;
}  // namespace Orvex::FontLib
namespace Orvex::Graphics {
class OxScreenEffectController;
}

namespace Fenwarrow {
class IGeneralWindowContext;
namespace SceneLayer {
class CSceneLayer;
class CSceneLayerManager;
}  // namespace SceneLayer
namespace Replay {
class CReplayController;
}
}  // namespace Fenwarrow

namespace Fenwarrow::Scene {

struct SceneServices {
    // Null when the game has no replay controller.
    Replay::CReplayController* replay = nullptr;
    // Null when the game has no screen effects.
    Orvex::Graphics::OxScreenEffectController* screenEffects = nullptr;
    std::shared_ptr<IGeneralWindowContext> windows;
    std::function<std::shared_ptr<Orvex::FontLib::OxFontRenderer>()> makeFontRenderer;
    // The loader of the game's bitmap fonts (reader 0, "Font" folder); null: no font can be read.
    std::shared_ptr<Orvex::FontLib::OxBitmapFontLoader> fontLoader;
    // Writes "c000.bin"; false when it could not.
    std::function<bool()> saveCommonData;
    // Seconds of the current frame.
    std::function<float()> frameTime;
    // The colour every frame is cleared with (A8R8G8B8).
    std::function<void(uint32_t)> setClearColour;
    // The game's stack of scene layers; null while there is none.
    std::function<SceneLayer::CSceneLayerManager*()> layerManager;
    // A new adventure layer for the story at the path (empty: the default story).
    std::function<std::shared_ptr<SceneLayer::CSceneLayer>(const std::u16string&)> makeAdventureLayer;
};

}  // namespace Fenwarrow::Scene
