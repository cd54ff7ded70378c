#include "engine/random/OxRandomRange.h"

namespace Orvex::Random {
namespace {

int32_t drawFrom(IOrvexRandomGenerator& generator, int32_t low, int32_t high) {
    // Unsigned arithmetic: the span of any two 32-bit bounds fits, except the whole range,
    // which wraps to 0.
    const uint32_t span = static_cast<uint32_t>(high) - static_cast<uint32_t>(low) + 1u;
    const uint32_t value = generator.next();
    if (span == 0) {
        return static_cast<int32_t>(value);
    }
    return static_cast<int32_t>(value % span + static_cast<uint32_t>(low));
}

float scaleFrom(IOrvexRandomGenerator& generator, float low, float high) {
    const double r = static_cast<double>(generator.next()) * (1.0 / 4294967296.0);
    const float product = static_cast<float>(static_cast<double>(high - low) * r);
    return low + product;
}

}  // namespace

int32_t getRange(IOrvexRandomGenerator& generator, int32_t lo, int32_t hi) {
    if (lo < hi) {
        return drawFrom(generator, lo, hi);
    }
    if (lo == hi) {
        return lo;
    }
    return drawFrom(generator, hi, lo);
}

float getRangeReal(IOrvexRandomGenerator& generator, float lo, float hi) {
    if (hi > lo) {
        return scaleFrom(generator, lo, hi);
    }
    if (hi < lo) {
        return scaleFrom(generator, hi, lo);
    }
    return lo;  // equal, or either is not a number
}

}  // namespace Orvex::Random
