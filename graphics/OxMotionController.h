#pragma once
// Plays and cross-fades the animation sets of a hierarchy; its state lives in the hierarchy.
#include "graphics/OxDXObject.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"

namespace Orvex::Graphics {

class OxMotionController final : public OxRefCounted<IOrvexMotionController> {
public:
    // The owner is not retained; it may be null (a controller of no hierarchy).
    explicit OxMotionController(OxHierarchyHolder* owner) : owner_(owner) {}

    int32_t reserved3() override { return 0; }
    uint32_t getAnimationCount() override;
    void reserved5() override {}
    int32_t reserved6() override { return 0; }
    int32_t play(uint32_t index, float blendTime, float startTicks) override;
    int32_t reserved8() override { return 0; }
    uint32_t getCurrentAnimation() override;
    float getCurrentTime() override;
    void setLoop(bool loop) override;
    bool isLooping() override;

private:
    ~OxMotionController() override = default;
    OxDXObject* hierarchy() { return owner_ != nullptr ? owner_->hierarchy() : nullptr; }

    OxHierarchyHolder* owner_;
};

}  // namespace Orvex::Graphics
