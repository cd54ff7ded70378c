#pragma once
// A dialogue over the current scene: the system script "Script/ADV/ADVSystem.lua" drives a text
// window and pictures, and runs the story as a coroutine that yields whenever it waits for time,
// a key or a further story script. The layer leaves the stack when the system script says the
// story has ended.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "game/layer/CSceneLayer.h"

namespace Orvex::Graphics {
class OxRenderQueue;
}
namespace Orvex::InputSystem {
class OxVirtualKey;
}
namespace Orvex::Script {
class CLuaApi;
}
namespace Fenwarrow {
class CScriptController;
class IGameContext;
}  // namespace Fenwarrow

namespace Fenwarrow::SceneLayer {

class CAdventureLayer : public CSceneLayer {
public:
    static constexpr uint32_t kScriptBlockSize = 2097152;
    static constexpr uint32_t kThreadMemorySize = 1048576;
    static constexpr const char16_t* kDefaultStory = u"Script/ADV/test.lua";

    // What the layer reaches of the game; the objects behind it outlive the layer.
    struct Services {
        IGameContext* game = nullptr;
        Orvex::Graphics::OxRenderQueue* renderQueue = nullptr;
        std::function<float()> frameTime;
        // The keys of this frame, after the replay's step.
        std::function<Orvex::InputSystem::OxVirtualKey*()> virtualKey;
        // Steps the replay, so that replays record and play dialogue input; may be empty.
        std::function<void()> stepReplay;
    };

    explicit CAdventureLayer(Services services);
    CAdventureLayer(Services services, std::u16string storyPath);
    // The two values are handed to the system script's "setup" as pointer values. They are
    // pointer-sized so that the objects a script hands over arrive whole.
    CAdventureLayer(Services services, std::u16string storyPath, uintptr_t context1, uintptr_t context2);
    ~CAdventureLayer() override;

    // Loads and starts the system script and makes the story's coroutine; false when the
    // script or one of its modules is missing.
    bool setup() override;
    void clear() override;
    void update() override;
    void draw() override;

    // The story path is kept for whoever asks; the system script picks the story itself.
    const std::u16string& getStoryPath() const { return storyPath_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }
    const std::shared_ptr<Orvex::Script::CLuaApi>& getCoroutine() const { return coroutine_; }
    float getWaitTime() const { return waitTime_; }

private:
    void reset();
    // Sets a field of the system script's "current_scene" table to an integer.
    void setSceneField(const char* field, lua_Integer value);
    void loadStory(const char* name);
    void keyWait(bool extra, float elapsed);
    void resumeStory();

    Services services_;
    std::shared_ptr<CScriptController> script_;
    std::shared_ptr<Orvex::Script::CLuaApi> coroutine_;
    std::vector<uint8_t> threadMemory_;
    std::u16string storyPath_;
    bool fastForwardFlag_ = false;
    int32_t fastForwardCounter_ = 0;
    float waitTime_ = 0.0f;
    uintptr_t context1_ = 0;
    uintptr_t context2_ = 0;
};

}  // namespace Fenwarrow::SceneLayer
