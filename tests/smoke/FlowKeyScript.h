#pragma once
// Recorded keys for the scenes around the dungeons, counted in keyboard reads.
#include <string>
#include <vector>

#include "tests/smoke/ProgramRun.h"

namespace SmokeTest {

// Recorded keys, written stage by stage: each press or hold starts where the last one ended.
class FlowKeyScript {
public:
    explicit FlowKeyScript(int firstRead) : read_(firstRead) {}
    // Single presses (three reads down, three up), twelve reads apart.
    FlowKeyScript& press(const std::string& key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            text_ += SmokeTest::pressKey(read_, key);
            read_ += 12;
        }
        return *this;
    }
    // The keys held down together for `reads` reads.
    FlowKeyScript& hold(const std::vector<std::string>& keys, int reads) {
        for (const std::string& key : keys) text_ += std::to_string(read_) + ":" + key + "+,";
        for (const std::string& key : keys) text_ += std::to_string(read_ + reads) + ":" + key + "-,";
        read_ += reads + 6;
        return *this;
    }
    FlowKeyScript& wait(int reads) {
        read_ += reads;
        return *this;
    }
    int read() const { return read_; }
    std::string text() const { return text_; }

private:
    int read_;
    std::string text_;
};

// The title's menu to the extras, the extras to the developer's scene list, and its second
// entry into the trial dungeon.
inline FlowKeyScript& intoTheTrialBySceneList(FlowKeyScript& keys) {
    return keys.press("Down", 4).press("Z").wait(150).press("Down", 6).press("Z").wait(120).press("Down").press("Z");
}

}  // namespace SmokeTest
