#pragma once
// Mersenne Twister (32-bit MT19937). A fresh generator gives the sequence of seed 0.
#include <cstdint>
#include <random>

#include "engine/random/IOrvexRandomGenerator.h"

namespace Orvex::Random {

class OxMT19937RandomGenerator : public IOrvexRandomGenerator {
public:
    OxMT19937RandomGenerator();

    void seed(uint32_t s) override;
    uint32_t getSeed() override { return seed_; }
    uint32_t next() override;

private:
    uint32_t seed_ = 0;
    std::mt19937 engine_;
};

}  // namespace Orvex::Random
