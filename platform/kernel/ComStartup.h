#pragma once
// Per-thread start-up of the component runtime. Nothing needs the runtime here; the calls keep
// the designed per-thread bookkeeping honest: the first call on a thread succeeds, later calls
// report "already initialised", and each successful call wants one uninitialise.
#include <cstdint>

namespace Platform::Kernel {

inline constexpr int32_t kComOk = 0;
inline constexpr int32_t kComAlreadyInitialized = 1;

int32_t comInitialize();
void comUninitialize();
// Outstanding initialisations on the calling thread.
int32_t comInitializeCount();

}  // namespace Platform::Kernel
