#pragma once
// The promotion movie, which the skip chord ends early; then the blank pause before the title.
#include "game/scene/CMovieSceneBase.h"

namespace Fenwarrow::Scene {

class CPromotion : public CMovieSceneBase {
public:
    using CMovieSceneBase::CMovieSceneBase;

    bool initialize() override;
    bool update() override;
    bool draw() override;
};

}  // namespace Fenwarrow::Scene
