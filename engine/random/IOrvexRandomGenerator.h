#pragma once
// The engine's seedable source of 32-bit random numbers. A game is reproduced from its seed.
#include <cstdint>

namespace Orvex::Random {

class IOrvexRandomGenerator {
public:
    virtual ~IOrvexRandomGenerator() = default;
    // Restarts the sequence from s.
    virtual void seed(uint32_t s) = 0;
    // The last seed given.
    virtual uint32_t getSeed() = 0;
    virtual uint32_t next() = 0;
};

}  // namespace Orvex::Random
