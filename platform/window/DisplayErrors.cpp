#include "platform/window/DisplayErrors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "platform/kernel/ProcessEnd.h"

namespace Platform::Window {
namespace {

std::atomic<bool> displayFailed{false};
std::atomic<bool> failureReported{false};

void writeLine(const char* text) { (void)::write(STDERR_FILENO, text, std::strlen(text)); }

// Runs inside an Xlib call, possibly with the window registry's lock held by the caller: it
// only records the failure. Later errors (the shutdown touching the dead window) are ignored.
int onProtocolError(Display*, XErrorEvent* event) {
    if (!failureReported.exchange(true)) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "The display refused a request (error %u, request %u.%u): the window was closed from "
                      "outside; ending the program.\n",
                      static_cast<unsigned>(event->error_code), static_cast<unsigned>(event->request_code),
                      static_cast<unsigned>(event->minor_code));
        writeLine(line);
        Kernel::recordExitFailure(1);
    }
    displayFailed = true;
    return 0;
}

[[noreturn]] int onConnectionLost(Display*) {
    writeLine("The connection to the display was lost: ending the program.\n");
    Kernel::endProcessNow(1);
}

}  // namespace

void installDisplayErrorHandlers() {
    XSetErrorHandler(&onProtocolError);
    XSetIOErrorHandler(&onConnectionLost);
}

bool takeDisplayFailure() { return displayFailed.exchange(false); }

bool hasWindowManager(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return true;
    }
    // A window manager that follows the common conventions names its check window on the root.
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == 0) {
        return false;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                                          &type, &format, &count, &after, &data);
    const bool present = status == Success && data != nullptr && count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return present;
}

}  // namespace Platform::Window
