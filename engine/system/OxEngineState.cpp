#include "engine/system/OxEngineState.h"

namespace Orvex::System {
namespace {
std::atomic<bool> engineAlive{false};
}

OxEngineState& engineState() {
    static OxEngineState state;
    return state;
}

bool isEngineAlive() { return engineAlive.load(std::memory_order_acquire); }

void setEngineAlive(bool alive) { engineAlive.store(alive, std::memory_order_release); }

}  // namespace Orvex::System
