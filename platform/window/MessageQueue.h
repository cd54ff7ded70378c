#pragma once
// The message queue of the window thread. SDL events become the messages the engine handles:
//   close request            -> WM_CLOSE
//   minimised / restored     -> WM_SIZE (SIZE_MINIMIZED / SIZE_RESTORED)
//   focus gained / lost      -> WM_ACTIVATEAPP (1 / 0)
//   key down (repeats too)   -> WM_KEYDOWN (virtual key; bit 30 of lParam on a repeat)
//   key up                   -> WM_KEYUP
// Posted messages may come from any thread; they are delivered in the order they were posted,
// interleaved with translated SDL events in arrival order.
#include <cstdint>

#include "platform/window/WindowTypes.h"

union SDL_Event;

namespace Platform::Window {

// Thread-safe. False when the window does not exist (a handle of 0 posts to the queue itself).
bool postMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// Thread-safe. Queues the key-down or key-up message a press or release of the key with this SDL
// scancode makes, for the window that has the keyboard, as if the key event had come from SDL;
// false when the key has no virtual key or there is no window. Recorded key presses use it.
bool postKeyMessage(int32_t scancode, bool down);
void postQuitMessage(int32_t exitCode);
// Owner thread only. Blocks until a message arrives: 1 for a message, 0 for WM_QUIT, -1 when
// the thread does not own SDL video or waiting fails.
int32_t getMessage(Message& message);
// Owner thread only. Removes and returns the next message; false when the queue is empty.
bool peekMessage(Message& message);
// No accelerator tables exist: never translates.
bool translateAccelerator(WindowHandle window, uintptr_t table, const Message& message);
void translateMessage(const Message& message);
// Calls the procedure of the message's window; 0 when it has none.
LResult dispatchMessage(const Message& message);

// Observers of the raw SDL events, called on the owner thread as each event is taken from SDL,
// before it is translated. The input stand-in builds its device snapshots this way.
class EventTap {
public:
    virtual ~EventTap() = default;
    virtual void onSdlEvent(const SDL_Event& event) = 0;
    // SDL is about to stop (the window thread is ending): drop SDL objects opened through it.
    virtual void onSdlStopping() {}
};
void addEventTap(EventTap* tap);
void removeEventTap(EventTap* tap);

}  // namespace Platform::Window
