#pragma once
// Window classes and windows of the window stand-in, on SDL2 video.
//
// One thread owns SDL video and events: the first thread that creates a window, until it calls
// releaseThreadWindows. Every SDL call happens there. Other threads may post messages, read the
// cached title and geometry, and ask for changes, which run on the owner thread at its next
// message pump.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/window/WindowTypes.h"

namespace Platform::Window {

struct WindowClassInfo {
    std::u16string className;
    WindowProcedure procedure = nullptr;
    uint32_t classStyle = 0;
    uint16_t iconId = 0;  // icons are not shown; kept for completeness of the registration
};

// False when a class of that name is registered already, or the name or procedure is missing.
bool registerClass(const WindowClassInfo& info);
bool unregisterClass(std::u16string_view className);
bool isClassRegistered(std::u16string_view className);

// The predefined control classes ("STATIC", "SCROLLBAR", "MDICLIENT", "LISTBOX", "EDIT",
// "COMBOBOX", "BUTTON") exist without registration. Real controls are not provided: their
// procedure behaves like the default procedure, but keeps its own identity so that subclassing
// (replacing the procedure and forwarding to the previous one) works as the engine expects.
bool isControlClass(std::u16string_view className);
WindowProcedure controlClassProcedure(std::u16string_view className);

// Creates a hidden, non-resizable window on the calling thread. 0 when the class is unknown,
// SDL video cannot start, or another thread already owns SDL video. Sizes are window sizes;
// kUseDefault positions let SDL choose.
WindowHandle createWindow(std::u16string_view className, std::u16string_view title, uint32_t style, int32_t x,
                          int32_t y, int32_t width, int32_t height, WindowHandle parent);
bool isWindow(WindowHandle window);
// SDL's id of the window (what SDL events carry); 0 when there is no such window.
uint32_t sdlWindowId(WindowHandle window);
// Run by the owner thread when it ends: destroys its windows without messages, unregisters the
// classes it registered, drops queued messages and shuts SDL video down.
void releaseThreadWindows();
// True on the thread that owns SDL video.
bool isWindowThread();
// True while some thread owns SDL video, so that SDL events are being pumped.
bool isVideoRunning();

bool setWindowText(WindowHandle window, std::u16string_view text);
// Copies at most maxChars - 1 characters; returns the number copied, 0 for no window or no text.
int32_t getWindowText(WindowHandle window, std::u16string& text, size_t maxChars);
bool getWindowRect(WindowHandle window, Rect& rect);
bool getClientRect(WindowHandle window, Rect& rect);
bool setWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
uint32_t getWindowStyle(WindowHandle window);
bool setWindowStyle(WindowHandle window, uint32_t style);
bool showWindow(WindowHandle window, int32_t command);
// Makes the window the one with keyboard focus as far as the engine is concerned, and posts
// WM_ACTIVATEAPP(1) to it when it did not have it. A window manager may take focus away later.
bool setForegroundWindow(WindowHandle window);
bool isForeground(WindowHandle window);
bool setFocus(WindowHandle window);
// Display counter: the cursor shows while it is 0 or more. Returns the new count.
int32_t showCursor(bool show);

void setUserData(WindowHandle window, void* data);
void* getUserData(WindowHandle window);
// Returns the previous procedure, null when there is no such window.
WindowProcedure setWindowProcedure(WindowHandle window, WindowProcedure procedure);
WindowProcedure getWindowProcedure(WindowHandle window);
LResult callWindowProcedure(WindowProcedure procedure, WindowHandle window, uint32_t message, WParam wParam,
                            LParam lParam);
// Nothing the engine relies on is done by default: returns 0.
LResult defWindowProcedure(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

int32_t screenWidth();
int32_t screenHeight();

// Desktop full screen: the window covers the display and frames are scaled with letterboxing.
bool setFullScreen(WindowHandle window, bool fullScreen);
bool isFullScreen(WindowHandle window);
// Confines the mouse to a rectangle in client coordinates; null releases it.
bool clipCursor(WindowHandle window, const Rect* clientRect);
bool clientToScreen(WindowHandle window, int32_t& x, int32_t& y);
bool screenToClient(WindowHandle window, int32_t& x, int32_t& y);
// Moves the mouse pointer to client coordinates (runs on the owner thread).
bool setCursorPos(WindowHandle window, int32_t x, int32_t y);
// The pointer in screen coordinates, as last reported over one of our windows; false before any.
bool getCursorScreenPos(int32_t& x, int32_t& y);
// Moves the pointer to screen coordinates over the window that contains them (else the first).
bool setCursorScreenPos(int32_t x, int32_t y);

// Runs `task` on the owner thread at its next message pump (at once when called there).
// False when no thread owns SDL video.
bool runOnWindowThread(std::function<void()> task);

}  // namespace Platform::Window
