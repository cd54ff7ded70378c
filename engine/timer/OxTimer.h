#pragma once
// Stopwatch on the system clock. Pauses nest: only the first pause stops it and only the
// matching last resume lets it run on, with the paused span taken out.
#include <cstdint>

#include "engine/timer/ITimer.h"

namespace Orvex::Timer {

class OxTimer : public ITimer {
public:
    static constexpr uint32_t kNeverStarted = 0xFFFFFFFFu;

    OxTimer() = default;

    void restart() override;
    // 0 when never started; while paused, the time up to the first pause.
    uint32_t getElapsed() override;
    void setTime(uint32_t startTime) override;
    void pause() override;
    void resume() override;
    ~OxTimer() override = default;

    // The system clock's millisecond count (OxSystemClock::now).
    virtual uint32_t getSystemTime();

private:
    uint32_t startTime_ = kNeverStarted;
    uint32_t pauseTime_ = 0;
    int32_t pauseCount_ = 0;
};

}  // namespace Orvex::Timer
