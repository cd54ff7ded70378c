#pragma once
// Makes scenes by id for the scene controller; the game supplies it.
#include <cstdint>
#include <memory>

#include "engine/scene/OxSceneBase.h"

namespace Orvex::SceneController {

class IOrvexSceneFactory {
public:
    virtual ~IOrvexSceneFactory() = default;
    // A new, uninitialised scene; empty for an id the factory does not know.
    virtual std::shared_ptr<OxSceneBase> create(int32_t id) = 0;
};

}  // namespace Orvex::SceneController
