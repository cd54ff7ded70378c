#pragma once
// The stack of scene layers, bottom first. Additions and removals are queued and applied at the
// start of the next update, so the stack never changes while it is being walked. A floor's
// worker clears and fills the stack while the game thread walks it, so every entry point takes
// the manager's lock (a layer may add another from inside its own update).
#include <memory>
#include <mutex>

#include "engine/system/shared_vector_ptr.h"
#include "game/layer/CSceneLayer.h"

namespace Fenwarrow::SceneLayer {

class CSceneLayerManager {
public:
    CSceneLayerManager();
    CSceneLayerManager(const CSceneLayerManager&) = delete;
    CSceneLayerManager& operator=(const CSceneLayerManager&) = delete;
    virtual ~CSceneLayerManager();

    // Empties the stack and both queues (no layer's clear runs) and enables the focus again.
    void clear();
    // Runs the layer's setup; when it succeeds the layer joins the stack at the next update.
    bool addLayer(const std::shared_ptr<CSceneLayer>& layer);
    void update();
    void draw();

    bool isRunning() const { return !layers_.empty(); }
    size_t getLayerCount() const { return layers_.size(); }
    bool getEnableFocus() const { return focusEnabled_; }
    void setEnableFocus(bool enabled) { focusEnabled_ = enabled; }

private:
    Orvex::System::shared_vector_ptr<CSceneLayer> layers_;
    Orvex::System::shared_vector_ptr<CSceneLayer> removals_;
    Orvex::System::shared_vector_ptr<CSceneLayer> additions_;
    bool focusEnabled_ = true;
    std::recursive_mutex lock_;
};

}  // namespace Fenwarrow::SceneLayer
