#include "engine/movie/MovieClock.h"

#include "platform/kernel/Clock.h"

namespace Theora {

namespace {

class SystemMovieClock final : public MovieClock {
public:
    uint32_t nowMs() override { return Platform::Kernel::multimediaTime(); }
    bool waitForStop(Platform::Kernel::KernelEvent& stop, uint32_t ms) override {
        return Platform::Kernel::waitForOne(stop, ms) == Platform::Kernel::kWaitObject0;
    }
};

}  // namespace

std::shared_ptr<MovieClock> MovieClock::system() {
    static const std::shared_ptr<MovieClock> clock = std::make_shared<SystemMovieClock>();
    return clock;
}

}  // namespace Theora
