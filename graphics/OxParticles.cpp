#include "graphics/OxParticles.h"

namespace Orvex::Graphics {

OxParticles::~OxParticles() {
    particles_.clear();
    texture_.reset();
    graphics_.reset();
}

int32_t OxParticles::setCount(uint32_t n) {
    const OxParticle initial{0, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}, 1, {0, 0}, {0, 1}, {1, 1}, {1, 0}};
    particles_.assign(n, initial);
    count_ = n;
    return 0;
}

int32_t OxParticles::setTexture(IOrvexTexture* texture) {
    texture_ = OxRefPtr<IOrvexTexture>::share(texture);
    return 0;
}

}  // namespace Orvex::Graphics
