#pragma once
// Drawing integers and reals between bounds; every game rule and script draws through these.
#include <cstdint>

#include "engine/random/IOrvexRandomGenerator.h"

namespace Orvex::Random {

// A value in [lo, hi] (bounds given either way round), as next() modulo the span plus the
// lower bound. Equal bounds give lo without drawing. The span of the whole 32-bit range has
// no modulus: next() is returned as it is.
int32_t getRange(IOrvexRandomGenerator& generator, int32_t lo, int32_t hi);

// lo + (hi - lo) * r with r = next() / 2^32 in [0, 1), bounds given either way round. Equal
// bounds, or a bound that is not a number, give lo without drawing.
float getRangeReal(IOrvexRandomGenerator& generator, float lo, float hi);

}  // namespace Orvex::Random
