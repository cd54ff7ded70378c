#pragma once
// The debugger output channel. Each call is one line of UTF-8 on stderr, written in one piece,
// when the environment variable ORVEX_DEBUG_OUTPUT is set to a non-empty value other than "0".
#include <functional>
#include <string_view>

namespace Platform::Kernel {

void debugOutput(std::u16string_view text);

// A failure the user must learn of: one line of UTF-8 on stderr whatever the debug setting, and
// the same text to the sink.
void errorOutput(std::u16string_view text);

// A diagnostic switch of the environment: the variable is set to a non-empty value other than "0".
bool isSwitchSet(const char* variable);

// Tests observe the channel through a sink; an empty function removes it.
using DebugSink = std::function<void(std::u16string_view)>;
void setDebugSink(DebugSink sink);

}  // namespace Platform::Kernel
