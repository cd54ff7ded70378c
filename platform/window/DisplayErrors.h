#pragma once
// What happens when the display fails under the program: a window destroyed by another client
// (the window manager, `xdotool windowclose`) or the connection to the X server lost
// (`xdotool windowkill`). Xlib's own handlers call exit() from whatever thread made the call,
// which runs static destructors under the engine's live threads; these handlers replace them.
struct SDL_Window;

namespace Platform::Window {

// Installs the handlers (before SDL video starts; again is harmless; without an X display they
// are never called). A protocol error writes one line and marks the display as failed: the message
// loop then closes every window in order and the program ends with status 1. A lost
// connection cannot be worked with at all: one line, and the process ends with status 1.
void installDisplayErrorHandlers();

// True once the display reported a protocol error; the message loop turns it into closes.
bool takeDisplayFailure();

// False when the window's X display has no window manager (nobody then honours a request for
// full screen, so the caller sizes the window itself); true on other video drivers, whose full
// screen SDL does on its own.
bool hasWindowManager(SDL_Window* window);

}  // namespace Platform::Window
