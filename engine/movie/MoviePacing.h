#pragma once
// When the video thread shows a decoded frame and how long it then waits. Times in seconds on
// the movie's clock.
#include <cstdint>

namespace Theora {

// Frames that are still due are shown; late frames are dropped, except that one is shown at
// least every quarter of a second so that a slow decoder still moves the picture.
inline bool shouldShowFrame(double frameTime, double now, double lastShown) {
    return frameTime - now > 0.0 || now - lastShown >= 0.25;
}

// Milliseconds to wait before the next frame (truncated toward zero); 0 when it is due.
inline uint32_t frameWaitMs(double frameTime, double now) {
    const double ms = (frameTime - now) * 1000.0;
    if (!(ms > 0.0)) {
        return 0;
    }
    return ms >= 4294967294.0 ? 4294967294u : static_cast<uint32_t>(ms);
}

}  // namespace Theora
