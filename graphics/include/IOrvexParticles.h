#pragma once
// A fixed-size set of particles the caller moves; the renderer draws each as a textured quad
// facing the camera.
#include <cstdint>

#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/IOrvexTexture.h"

namespace Orvex::Graphics {

// One particle (88 bytes, 22 four-byte fields).
struct OxParticle {
    uint32_t enabled;  // only the first byte is read
    float position[3];
    float angle[3];  // radians about x, y and z
    float scale[3];
    float color[3];
    float alpha;
    float topLeft[2];
    float bottomLeft[2];
    float bottomRight[2];
    float topRight[2];
};
static_assert(sizeof(OxParticle) == 88);

class IOrvexParticles : public IOrvexRenderObject {
public:
    // Drops every record and makes n new ones with the default values.
    virtual int32_t setCount(uint32_t n) = 0;
    virtual void reserved4() = 0;
    virtual uint32_t getCount() = 0;
    virtual OxParticle* getFirstParticle() = 0;
    virtual OxParticle* getParticle(uint32_t index) = 0;
    virtual int32_t setTexture(IOrvexTexture* texture) = 0;
    virtual IOrvexTexture* getTexture() = 0;  // borrowed
    // The first byte switches lighting on for the particles.
    virtual uint32_t& getSettings() = 0;
    virtual IOrvexGraphics* getGraphics() = 0;

protected:
    virtual ~IOrvexParticles() = default;
};

}  // namespace Orvex::Graphics
