#pragma once
// A pausable stopwatch in whole milliseconds.
#include <cstdint>

namespace Orvex::Timer {

class ITimer {
public:
    virtual void restart() = 0;
    virtual uint32_t getElapsed() = 0;
    virtual void setTime(uint32_t startTime) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual ~ITimer() = default;
};

}  // namespace Orvex::Timer
