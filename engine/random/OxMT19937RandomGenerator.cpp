#include "engine/random/OxMT19937RandomGenerator.h"

namespace Orvex::Random {

OxMT19937RandomGenerator::OxMT19937RandomGenerator() { seed(0); }

void OxMT19937RandomGenerator::seed(uint32_t s) {
    std::lock_guard<std::mutex> lock(lock_);
    seed_ = s;
    engine_.seed(s);
}

uint32_t OxMT19937RandomGenerator::getSeed() {
    std::lock_guard<std::mutex> lock(lock_);
    return seed_;
}

uint32_t OxMT19937RandomGenerator::next() {
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<uint32_t>(engine_());
}

}  // namespace Orvex::Random
