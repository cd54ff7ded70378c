#include "engine/system/OxEngineState.h"

#include "platform/kernel/ProcessEnd.h"

namespace Orvex::System {
namespace {
std::atomic<bool> engineAlive{false};
}  // namespace

OxEngineState& engineState() {
    static OxEngineState state;
    return state;
}

bool isEngineAlive() { return engineAlive.load(std::memory_order_acquire); }

void setEngineAlive(bool alive) { engineAlive.store(alive, std::memory_order_release); }

void recordExitFailure(int status) { Platform::Kernel::recordExitFailure(status); }

int exitStatus() { return Platform::Kernel::recordedExitStatus(); }

void resetExitStatus() { Platform::Kernel::resetRecordedExitStatus(); }

}  // namespace Orvex::System
