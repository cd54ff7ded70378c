#include "engine/system/OxSystemFacade.h"

#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/MessageBox.h"
#include "platform/kernel/NativeThread.h"
#include "platform/kernel/PrivateProfile.h"

namespace Orvex::System {

void debugOutput(std::u16string_view text) { Platform::Kernel::debugOutput(text); }

void errorOutput(std::u16string_view text) { Platform::Kernel::errorOutput(text); }

bool isDiagnosticSwitchSet(const char* variable) { return Platform::Kernel::isSwitchSet(variable); }

std::u16string profileReadProblem(std::u16string_view path) { return Platform::Kernel::profileReadProblem(path); }

void sleepMilliseconds(uint32_t milliseconds) { Platform::Kernel::sleepMs(milliseconds); }

void showMessageBox(std::u16string_view text, std::u16string_view caption) {
    Platform::Kernel::showMessageBox(text, caption);
}

uint32_t getProfileInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue,
                       std::u16string_view path) {
    return Platform::Kernel::getPrivateProfileInt(section, key, defaultValue, path);
}

uint32_t getProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                          std::u16string& out, uint32_t bufferSize, std::u16string_view path) {
    return Platform::Kernel::getPrivateProfileString(section, key, defaultValue, out, bufferSize, path);
}

bool writeProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                        std::u16string_view path) {
    return Platform::Kernel::writePrivateProfileString(section, key, value, path);
}

}  // namespace Orvex::System
