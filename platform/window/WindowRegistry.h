#pragma once
// Internal to the window stand-in: the process-wide table of classes, windows and the queue.
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/kernel/NativeThread.h"
#include "platform/window/PresentTarget.h"
#include "platform/window/Window.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace Platform::Window::detail {

// Owners of the SDL objects behind a window (defined where SDL is included).
struct DestroySdlWindow {
    void operator()(SDL_Window* window) const;
};
struct DestroySdlRenderer {
    void operator()(SDL_Renderer* renderer) const;
};
struct DestroySdlTexture {
    void operator()(SDL_Texture* texture) const;
};

struct NativeWindow {
    WindowHandle handle = 0;
    // Declared before the renderer and its texture, so that it is destroyed after them.
    std::unique_ptr<SDL_Window, DestroySdlWindow> sdl;
    uint32_t sdlId = 0;
    std::u16string className;
    WindowProcedure procedure = nullptr;
    void* userData = nullptr;
    std::u16string title;
    uint32_t style = 0;
    Rect windowRect;  // cached for other threads; refreshed on the owner thread
    Rect clientRect;
    int32_t clientScreenX = 0;  // screen position of the client area's top-left corner
    int32_t clientScreenY = 0;
    bool foreground = false;
    bool fullScreen = false;
    std::shared_ptr<PresentTarget> present;
    std::unique_ptr<SDL_Renderer, DestroySdlRenderer> renderer;  // owner thread only
    std::unique_ptr<SDL_Texture, DestroySdlTexture> texture;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
};

struct ClassRecord {
    WindowClassInfo info;
    Kernel::ThreadId registeredBy = 0;
};

// Codes of the wake-up event pushed into SDL's queue from other threads.
inline constexpr int32_t kWakeMessages = 1;
inline constexpr int32_t kWakePresent = 2;

struct Registry {
    std::mutex lock;
    std::map<WindowHandle, std::unique_ptr<NativeWindow>> windows;
    std::map<std::u16string, ClassRecord, std::less<>> classes;
    std::atomic<Kernel::ThreadId> owner{0};
    WindowHandle nextHandle = 1;
    std::deque<Message> messages;
    std::deque<std::function<void()>> tasks;
    std::atomic<uint32_t> wakeType{0};  // 0 while SDL video is down
    int32_t cursorCount = 0;
    bool joystickStarted = false;
    bool cursorKnown = false;
    int32_t cursorScreenX = 0;
    int32_t cursorScreenY = 0;
};

Registry& registry();
// Lock held by the caller.
NativeWindow* findLocked(WindowHandle window);
NativeWindow* findBySdlIdLocked(uint32_t sdlId);
// Pushes a wake-up event into SDL's queue; harmless while SDL is down.
void wakeOwner(int32_t code, WindowHandle window);
// Owner thread: shows the frame waiting in the window's mailbox.
void presentPending(WindowHandle window);
// Owner thread, lock held: refreshes the cached geometry from SDL.
void refreshGeometryLocked(NativeWindow& window);
void destroyRendererLocked(NativeWindow& window);
// Owner thread, lock not held: tells the event taps that SDL is about to stop.
void notifyTapsStopping();

}  // namespace Platform::Window::detail
