#include "platform/kernel/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <SDL.h>

#include "platform/kernel/CodePage.h"

namespace Platform::Kernel {
namespace {

bool displayAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::string_view(driver) == "dummy" || std::string_view(driver) == "offscreen")) {
        return false;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

std::string narrow(std::u16string_view text) {
    std::string out;
    return wideToMultiByte(text, out) ? out : std::string("?");
}

}  // namespace

void showMessageBox(std::u16string_view text, std::u16string_view caption) {
    const std::string narrowText = narrow(text);
    const std::string narrowCaption = narrow(caption);
    std::fprintf(stderr, "[%s] %s\n", narrowCaption.c_str(), narrowText.c_str());
    std::fflush(stderr);
    if (displayAvailable()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, narrowCaption.c_str(), narrowText.c_str(), nullptr);
    }
}

}  // namespace Platform::Kernel
