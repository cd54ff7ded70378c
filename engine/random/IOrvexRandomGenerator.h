#pragma once
// The engine's seedable source of 32-bit random numbers. A game is reproduced from its seed.
#include <cstdint>
#include <vector>

namespace Orvex::Random {

class IOrvexRandomGenerator {
public:
    virtual ~IOrvexRandomGenerator() = default;
    // Restarts the sequence from s.
    virtual void seed(uint32_t s) = 0;
    // The last seed given.
    virtual uint32_t getSeed() = 0;
    virtual uint32_t next() = 0;
    // The whole state (the last seed among it), so that a saved game can go on drawing the
    // numbers it would have drawn. Empty from a generator that cannot give its state.
    virtual std::vector<uint32_t> getState() { return {}; }
    // Restores a state that getState gave. False, and the generator unchanged, for anything
    // else.
    virtual bool setState(const std::vector<uint32_t>& /*state*/) { return false; }
};

}  // namespace Orvex::Random
