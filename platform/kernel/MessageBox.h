#pragma once
#include <string_view>

namespace Platform::Kernel {

// A blocking message box with one OK button. The text always goes to stderr too; the box is
// shown only where a display exists, so headless runs never block on it.
void showMessageBox(std::u16string_view text, std::u16string_view caption);

}  // namespace Platform::Kernel
