#pragma once
// A fixed-size array of particle records the caller fills; the renderer draws them.
#include <vector>

#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexParticles.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxParticles final : public OxRefCounted<IOrvexParticles> {
public:
    explicit OxParticles(IOrvexGraphics* graphics) : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)) {}

    int32_t setCount(uint32_t n) override;
    void reserved4() override {}
    uint32_t getCount() override { return count_; }
    OxParticle* getFirstParticle() override { return count_ > 0 ? particles_.data() : nullptr; }
    OxParticle* getParticle(uint32_t index) override { return index < count_ ? &particles_[index] : nullptr; }
    int32_t setTexture(IOrvexTexture* texture) override;
    IOrvexTexture* getTexture() override { return texture_.get(); }
    uint32_t& getSettings() override { return settings_; }
    IOrvexGraphics* getGraphics() override { return graphics_.get(); }

private:
    ~OxParticles() override;

    OxRefPtr<IOrvexGraphics> graphics_;
    OxRefPtr<IOrvexTexture> texture_;
    uint32_t settings_ = 0;
    uint32_t count_ = 0;
    std::vector<OxParticle> particles_;
};

}  // namespace Orvex::Graphics
