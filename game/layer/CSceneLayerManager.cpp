#include "game/layer/CSceneLayerManager.h"

namespace Fenwarrow::SceneLayer {

CSceneLayerManager::CSceneLayerManager() { clear(); }

CSceneLayerManager::~CSceneLayerManager() { clear(); }

void CSceneLayerManager::clear() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    layers_.clear();
    removals_.clear();
    additions_.clear();
    focusEnabled_ = true;
}

bool CSceneLayerManager::addLayer(const std::shared_ptr<CSceneLayer>& layer) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (!layer || !layer->setup()) {
        return false;
    }
    additions_.push_back(layer);
    return true;
}

void CSceneLayerManager::update() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (size_t i = 0; i < removals_.size(); ++i) {
        layers_.remove(removals_.at(i));
    }
    removals_.clear();
    for (size_t i = 0; i < additions_.size(); ++i) {
        layers_.push_back(additions_.at(i));
    }
    additions_.clear();

    // Top down: the top layer takes the focus before anything below it runs.
    for (size_t i = layers_.size(); i-- > 0;) {
        const std::shared_ptr<CSceneLayer> layer = layers_.at(i);
        layer->setFocused(focusEnabled_ && i + 1 == layers_.size());
        layer->update();
        if (!layer->isAlive()) {
            removals_.push_back(layer);
        }
    }
}

void CSceneLayerManager::draw() {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (size_t i = 0; i < layers_.size(); ++i) {
        layers_.at(i)->draw();
    }
}

}  // namespace Fenwarrow::SceneLayer
