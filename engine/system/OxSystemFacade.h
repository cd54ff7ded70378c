#pragma once
// The few operating-system services the game calls directly: the debugger output channel,
// sleeps, the message box and the settings file. Game code goes through these instead of the
// platform layer.
#include <cstdint>
#include <string>
#include <string_view>

namespace Orvex::System {

// One line on the debugger output channel (stderr when ORVEX_DEBUG_OUTPUT is set).
void debugOutput(std::u16string_view text);
// One line on stderr whatever the debug setting: for faults the user must hear of.
void errorOutput(std::u16string_view text);
// A diagnostic switch of the environment (a variable set to a non-empty value other than "0").
bool isDiagnosticSwitchSet(const char* variable);
// Suspends the calling thread for at least `milliseconds`.
void sleepMilliseconds(uint32_t milliseconds);
// Tells the user of a fault the program cannot go on after.
void showMessageBox(std::u16string_view text, std::u16string_view caption);

// INI-style settings file: the value of a key, or the default when the file, section or key
// is absent.
uint32_t getProfileInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue,
                       std::u16string_view path);
// The value of a key cut to `bufferSize` - 1 units in `out`; returns the units copied.
uint32_t getProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                          std::u16string& out, uint32_t bufferSize, std::u16string_view path);
// Why the settings file cannot be read (empty when it can, or when it is simply absent).
std::u16string profileReadProblem(std::u16string_view path);
bool writeProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                        std::u16string_view path);

}  // namespace Orvex::System
