#pragma once
// Mersenne Twister (32-bit MT19937). A fresh generator gives the sequence of seed 0. The game
// thread and the worker threads draw from one generator, so seeding and drawing are locked.
#include <cstdint>
#include <mutex>
#include <random>
#include <vector>

#include "engine/random/IOrvexRandomGenerator.h"

namespace Orvex::Random {

class OxMT19937RandomGenerator : public IOrvexRandomGenerator {
public:
    OxMT19937RandomGenerator();

    void seed(uint32_t s) override;
    uint32_t getSeed() override;
    uint32_t next() override;
    // The seed, then the engine's textual state as numbers.
    std::vector<uint32_t> getState() override;
    bool setState(const std::vector<uint32_t>& state) override;

private:
    std::mutex lock_;
    uint32_t seed_ = 0;
    std::mt19937 engine_;
};

}  // namespace Orvex::Random
