#pragma once
// Told of every scene the controller pushes (after its initialize succeeded).

namespace Orvex::SceneController {

class OxSceneBase;

class IOrvexSceneEventListener {
public:
    virtual ~IOrvexSceneEventListener() = default;
    virtual void onScenePushed(OxSceneBase* scene) = 0;
};

}  // namespace Orvex::SceneController
