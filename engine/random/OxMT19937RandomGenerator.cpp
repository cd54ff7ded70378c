#include "engine/random/OxMT19937RandomGenerator.h"

namespace Orvex::Random {

OxMT19937RandomGenerator::OxMT19937RandomGenerator() { seed(0); }

void OxMT19937RandomGenerator::seed(uint32_t s) {
    seed_ = s;
    engine_.seed(s);
}

uint32_t OxMT19937RandomGenerator::next() { return static_cast<uint32_t>(engine_()); }

}  // namespace Orvex::Random
