#pragma once
// The maker's logo movie; then the title.
#include "game/scene/CMovieSceneBase.h"

namespace Fenwarrow::Scene {

class CLogo : public CMovieSceneBase {
public:
    using CMovieSceneBase::CMovieSceneBase;

    bool initialize() override;
    bool update() override;
    bool draw() override;
};

}  // namespace Fenwarrow::Scene
