#pragma once
// The clock the movie's video thread paces itself with: milliseconds that wrap at 32 bits
// (differences are taken unsigned), and a wait that a stop request cuts short.
#include <cstdint>
#include <memory>

#include "platform/kernel/Waitable.h"

namespace Theora {

class MovieClock {
public:
    virtual ~MovieClock() = default;
    virtual uint32_t nowMs() = 0;
    // Waits up to ms milliseconds; true when `stop` was signalled.
    virtual bool waitForStop(Platform::Kernel::KernelEvent& stop, uint32_t ms) = 0;

    // The multimedia millisecond clock and real waits.
    static std::shared_ptr<MovieClock> system();
};

}  // namespace Theora
