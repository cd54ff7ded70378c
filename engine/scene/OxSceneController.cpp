#include "engine/scene/OxSceneController.h"

#include <utility>

namespace Orvex::SceneController {

OxSceneController::OxSceneController() = default;

OxSceneController::OxSceneController(std::shared_ptr<IOrvexSceneFactory> factory, int32_t sceneId)
    : requestId(sceneId), factory_(std::move(factory)) {}

OxSceneController::~OxSceneController() { clear(); }

void OxSceneController::changeScene(int32_t sceneId) {
    requestId = sceneId;
    requestKind = kRequestChange;
}

void OxSceneController::addListener(IOrvexSceneEventListener* listener) { listeners_.push_back(listener); }

bool OxSceneController::pushScene(int32_t sceneId) {
    // Without a factory there is nothing to build: refuse rather than fail on a null factory.
    if (sceneId == -1 || !factory_) {
        return false;
    }
    auto entry = std::make_shared<CSceneInfo>();
    entry->id = sceneId;
    entry->scene = factory_->create(sceneId);
    if (!entry->scene) {
        return false;
    }
    entry->scene->setSceneController(this);
    if (!entry->scene->initialize()) {
        return false;  // the entry and its scene go with this frame
    }
    scenes_.push_back(entry);
    for (IOrvexSceneEventListener* listener : listeners_) {
        listener->onScenePushed(entry->scene.get());
    }
    return true;
}

OxSceneBase* OxSceneController::topScene() const { return scenes_.empty() ? nullptr : scenes_.back()->scene.get(); }

bool OxSceneController::changeTo(int32_t sceneId) {
    if (!scenes_.empty()) {
        // A top dropped by a call whose target failed has nothing left to finalise.
        OxSceneBase* top = topScene();
        if (top != nullptr && !top->finalize()) {
            return false;
        }
        scenes_.pop_back();
    }
    return pushScene(sceneId);
}

bool OxSceneController::callTo(int32_t sceneId) {
    // On an empty stack there is nothing to drop: a call is a push.
    OxSceneBase* top = topScene();
    if (top != nullptr) {
        if (!top->finalize()) {
            return false;
        }
        scenes_.back()->scene.reset();
    }
    return pushScene(sceneId);
}

bool OxSceneController::returnToPrevious() {
    if (scenes_.empty()) {
        return false;
    }
    const int32_t returningId = scenes_.back()->id;
    OxSceneBase* top = topScene();
    if (top != nullptr && !top->finalize()) {
        return false;
    }
    scenes_.pop_back();
    if (scenes_.empty()) {
        return false;
    }
    if (!scenes_.back()->scene) {
        const int32_t droppedId = scenes_.back()->id;
        scenes_.pop_back();
        if (!pushScene(droppedId)) {
            return false;
        }
    }
    return topScene()->onComeBack(returningId);
}

void OxSceneController::quitAll() {
    while (!scenes_.empty()) {
        if (OxSceneBase* top = topScene()) {
            (void)top->finalize();  // leaving anyway
        }
        scenes_.pop_back();
    }
}

bool OxSceneController::carryOut(uint32_t kind) {
    switch (kind) {
        case kRequestChange:
            return changeTo(requestId);
        case kRequestPush:
            return pushScene(requestId);
        case kRequestCall:
            return callTo(requestId);
        case kRequestReturn:
            return returnToPrevious();
        case kRequestQuit:
            quitAll();
            return false;
        default:
            return true;
    }
}

bool OxSceneController::update() {
    for (;;) {
        const uint32_t kind = requestKind;
        requestKind = kRequestNone;
        if (!carryOut(kind)) {
            return false;
        }
        if (!scenes_.empty()) {
            OxSceneBase* top = topScene();
            // A top left dropped (its call's target failed) cannot run.
            if (top == nullptr || !top->update()) {
                return false;
            }
        }
        // A change posted during the update waits for the next frame; the other kinds are
        // carried out at once, followed by an update of the new top.
        if (requestKind == kRequestNone || requestKind == kRequestChange) {
            return true;
        }
    }
}

bool OxSceneController::draw() {
    if (scenes_.empty()) {
        return true;
    }
    OxSceneBase* top = topScene();
    return top != nullptr && top->draw();
}

int32_t OxSceneController::getCurrentSceneId() const { return scenes_.empty() ? -1 : scenes_.back()->id; }

void OxSceneController::clear() {
    factory_.reset();
    scenes_.clear();
    requestId = -1;
    requestKind = kRequestNone;
}

}  // namespace Orvex::SceneController
