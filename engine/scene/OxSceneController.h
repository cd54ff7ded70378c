#pragma once
// The scene stack. Scenes never change the stack themselves: they post one request (a target
// id and a kind) and the controller carries it out at the start of its next update. A later
// request of the same frame overwrites an earlier one.
//
// Single-threaded: requests, update and draw all run on the game thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/scene/IOrvexSceneEventListener.h"
#include "engine/scene/IOrvexSceneFactory.h"
#include "engine/scene/OxSceneBase.h"

namespace Orvex::SceneController {

// Request kinds.
inline constexpr uint32_t kRequestNone = 0;
// The top scene leaves and the target replaces it.
inline constexpr uint32_t kRequestChange = 1;
// The target goes on top; the top stays alive below it.
inline constexpr uint32_t kRequestPush = 2;
// The top scene is finalised and dropped from memory (its entry stays); the target goes on top.
inline constexpr uint32_t kRequestCall = 3;
// The top scene leaves; the one below becomes the top (rebuilt if it was dropped) and is told
// who returned. The target id is not used.
inline constexpr uint32_t kRequestReturn = 4;
// Every scene leaves and the game loop ends.
inline constexpr uint32_t kRequestQuit = 5;

class OxSceneController {
public:
    // One stack entry. A dropped scene keeps its entry (and id) with an empty scene.
    struct CSceneInfo {
        std::shared_ptr<OxSceneBase> scene;
        int32_t id = -1;
    };

    OxSceneController();
    // Stores the factory and the first target; nothing is requested until a kind is posted.
    OxSceneController(std::shared_ptr<IOrvexSceneFactory> factory, int32_t sceneId);
    OxSceneController(const OxSceneController&) = delete;
    OxSceneController& operator=(const OxSceneController&) = delete;
    virtual ~OxSceneController();

    // Must be set before the first request is carried out.
    void setFactory(std::shared_ptr<IOrvexSceneFactory> factory) { factory_ = std::move(factory); }
    const std::shared_ptr<IOrvexSceneFactory>& getFactory() const { return factory_; }

    // Posts a change to the scene id. Other kinds are posted by writing the request fields.
    void changeScene(int32_t sceneId);

    // Listeners are not owned and are told in registration order.
    void addListener(IOrvexSceneEventListener* listener);

    // Makes, initialises and pushes the scene of the id, then tells the listeners. False (and
    // nothing pushed) for id -1, an id the factory does not know, or a refused initialize.
    bool pushScene(int32_t sceneId);

    // Carries out the pending request, then updates the top scene; repeats at once while the
    // top scene's update posts a push, call, return or quit. False ends the game loop.
    bool update();
    // True when the stack is empty, else the top scene's draw.
    bool draw();

    bool isEmpty() const { return scenes_.empty(); }
    // The top entry's id; -1 when the stack is empty.
    int32_t getCurrentSceneId() const;
    // The top entry's scene; null when the stack is empty or the top was dropped.
    OxSceneBase* getCurrentScene() const { return topScene(); }

    // Releases the factory and empties the stack without finalising (scenes are destroyed as
    // their last owner goes); the request is reset.
    void clear();

    // The pending request, written by scenes (through getSceneController) and by the owner.
    // requestId keeps the last target; requestKind returns to kRequestNone once carried out.
    int32_t requestId = -1;
    uint32_t requestKind = kRequestNone;

private:
    // The top entry's scene; null when the stack is empty or the top was dropped.
    OxSceneBase* topScene() const;
    // One pass of the request in hand; false refuses.
    bool carryOut(uint32_t kind);
    bool changeTo(int32_t sceneId);
    bool callTo(int32_t sceneId);
    bool returnToPrevious();
    void quitAll();

    std::shared_ptr<IOrvexSceneFactory> factory_;
    std::vector<std::shared_ptr<CSceneInfo>> scenes_;
    std::vector<IOrvexSceneEventListener*> listeners_;
};

}  // namespace Orvex::SceneController
