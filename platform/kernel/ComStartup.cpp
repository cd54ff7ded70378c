#include "platform/kernel/ComStartup.h"

namespace Platform::Kernel {
namespace {
thread_local int32_t initializeCount = 0;
}

int32_t comInitialize() { return initializeCount++ == 0 ? kComOk : kComAlreadyInitialized; }

void comUninitialize() {
    if (initializeCount > 0) {
        --initializeCount;
    }
}

int32_t comInitializeCount() { return initializeCount; }

}  // namespace Platform::Kernel
