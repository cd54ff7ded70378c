#pragma once
// For death tests whose child could hang on a regression: the child ends with status 124 and a
// line once `limit` has passed, so the test fails instead of hanging. The guard runs on a thread
// of its own, which takes the signal mask of the thread that starts it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

inline void endThisProcessAfter(std::chrono::seconds limit) {
    std::thread([limit] {
        std::this_thread::sleep_for(limit);
        std::fputs("Still running when the time limit passed: ended.\n", stderr);
        std::_Exit(124);
    }).detach();
}
