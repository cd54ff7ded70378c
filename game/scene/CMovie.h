#pragma once
// A movie chosen by a script through the setting data, letterboxed to 453 lines; then the scene
// the script named, or back to the caller when it named none.
#include "game/scene/CMovieSceneBase.h"

namespace Fenwarrow::Scene {

class CMovie : public CMovieSceneBase {
public:
    using CMovieSceneBase::CMovieSceneBase;

    static constexpr int32_t kPictureHeight = 453;

    bool initialize() override;
    bool update() override;
    bool draw() override;
};

}  // namespace Fenwarrow::Scene
