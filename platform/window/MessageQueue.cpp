#include "platform/window/MessageQueue.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/kernel/NeverDestroyed.h"
#include "platform/window/DisplayErrors.h"
#include "platform/window/VirtualKeyCodes.h"
#include "platform/window/WindowRegistry.h"

namespace Platform::Window {

using detail::NativeWindow;
using detail::registry;

namespace {

std::mutex& tapLock() {
    static Kernel::NeverDestroyed<std::mutex> lock;
    return lock.get();
}

std::vector<EventTap*>& taps() {
    static std::vector<EventTap*> list;
    return list;
}

void enqueueLocked(const Message& message) { registry().messages.push_back(message); }

void enqueue(const Message& message) {
    std::lock_guard guard(registry().lock);
    enqueueLocked(message);
}

bool popMessage(Message& message) {
    std::lock_guard guard(registry().lock);
    if (registry().messages.empty()) {
        return false;
    }
    message = registry().messages.front();
    registry().messages.pop_front();
    return true;
}

void runTasks() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard guard(registry().lock);
        tasks.swap(registry().tasks);
    }
    for (auto& task : tasks) {
        task();
    }
}

void notifyTaps(const SDL_Event& event) {
    std::lock_guard guard(tapLock());
    for (EventTap* tap : taps()) {
        tap->onSdlEvent(event);
    }
}

// Key events without a known window go to the window that has the focus, else to the first.
NativeWindow* keyTargetLocked(uint32_t sdlId) {
    if (NativeWindow* window = detail::findBySdlIdLocked(sdlId)) {
        return window;
    }
    NativeWindow* first = nullptr;
    for (auto& [handle, window] : registry().windows) {
        if (window->foreground) {
            return window.get();
        }
        if (first == nullptr) {
            first = window.get();
        }
    }
    return first;
}

void translateWindowEvent(const SDL_WindowEvent& event) {
    std::lock_guard guard(registry().lock);
    NativeWindow* window = detail::findBySdlIdLocked(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            enqueueLocked({window->handle, kWmClose, 0, 0});
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            enqueueLocked({window->handle, kWmSize, kSizeMinimized, 0});
            break;
        case SDL_WINDOWEVENT_RESTORED:
            enqueueLocked({window->handle, kWmSize, kSizeRestored, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            window->foreground = true;
            enqueueLocked({window->handle, kWmActivateApp, 1, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            window->foreground = false;
            enqueueLocked({window->handle, kWmActivateApp, 0, 0});
            break;
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            detail::refreshGeometryLocked(*window);
            break;
        default:
            break;
    }
}

// The key message of a press, repeat or release, queued for the window that has the keyboard;
// false when the key has no virtual key or no window takes it.
bool enqueueKeyMessage(uint32_t sdlWindowId, SDL_Scancode scancode, bool down, bool repeat) {
    const uint32_t virtualKey = virtualKeyFromScancode(scancode);
    if (virtualKey == 0) {
        return false;
    }
    // lParam as the engine knows it: repeat count 1, scancode in bits 16-23, bit 30 when the key
    // was already down, bits 30 and 31 on release.
    LParam lParam = 1 | (LParam(scancode & 0xFF) << 16);
    uint32_t message = kWmKeyDown;
    if (!down) {
        message = kWmKeyUp;
        lParam |= kKeyPreviouslyDown | (LParam(1) << 31);
    } else if (repeat) {
        lParam |= kKeyPreviouslyDown;
    }
    std::lock_guard guard(registry().lock);
    NativeWindow* window = keyTargetLocked(sdlWindowId);
    if (window == nullptr) {
        return false;
    }
    enqueueLocked({window->handle, message, virtualKey, lParam});
    return true;
}

void translateKeyEvent(const SDL_KeyboardEvent& event) {
    enqueueKeyMessage(event.windowID, event.keysym.scancode, event.type == SDL_KEYDOWN, event.repeat != 0);
}

void translateQuit() {
    std::lock_guard guard(registry().lock);
    if (!registry().windows.empty()) {
        enqueueLocked({registry().windows.begin()->first, kWmClose, 0, 0});
    }
}

void noteCursor(const SDL_MouseMotionEvent& event) {
    std::lock_guard guard(registry().lock);
    if (NativeWindow* window = detail::findBySdlIdLocked(event.windowID)) {
        registry().cursorKnown = true;
        registry().cursorScreenX = window->clientScreenX + event.x;
        registry().cursorScreenY = window->clientScreenY + event.y;
    }
}

// After the display failed under the program, every window is closed the way its close box
// closes it, so that the program shuts down in order.
void closeWindowsAfterDisplayFailure() {
    if (!takeDisplayFailure()) {
        return;
    }
    std::lock_guard guard(registry().lock);
    for (auto& [handle, window] : registry().windows) {
        enqueueLocked({handle, kWmClose, 0, 0});
    }
}

void handleEvent(const SDL_Event& event) {
    notifyTaps(event);
    const uint32_t wakeType = registry().wakeType.load();
    if (wakeType != 0 && event.type == wakeType) {
        if (event.user.code == detail::kWakePresent) {
            detail::presentPending(static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(event.user.data1)));
        }
        return;  // message wake-ups only end the wait
    }
    switch (event.type) {
        case SDL_MOUSEMOTION:
            noteCursor(event.motion);
            break;
        case SDL_QUIT:
            translateQuit();
            break;
        case SDL_WINDOWEVENT:
            translateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translateKeyEvent(event.key);
            break;
        default:
            break;
    }
}

}  // namespace

namespace detail {

void notifyTapsStopping() {
    std::lock_guard guard(tapLock());
    for (EventTap* tap : taps()) {
        tap->onSdlStopping();
    }
}

void presentPending(WindowHandle handle) {
    std::lock_guard guard(registry().lock);
    NativeWindow* window = findLocked(handle);
    PendingFrame pending;
    if (window == nullptr || !window->present->take(pending)) {
        return;
    }
    const FrameBuffer& frame = pending.frame;
    if (window->renderer == nullptr) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        window->renderer.reset(SDL_CreateRenderer(window->sdl.get(), -1, 0));
        if (window->renderer == nullptr) {
            return;
        }
    }
    SDL_Renderer* renderer = window->renderer.get();
    if (window->texture == nullptr || window->textureWidth != int32_t(frame.width) ||
        window->textureHeight != int32_t(frame.height)) {
        window->texture.reset();
        window->texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                std::max(1u, frame.width), std::max(1u, frame.height)));
        window->textureWidth = int32_t(frame.width);
        window->textureHeight = int32_t(frame.height);
        if (window->texture == nullptr) {
            return;
        }
    }
    if (frame.width > 0 && frame.height > 0) {
        SDL_UpdateTexture(window->texture.get(), nullptr, frame.pixels.data(), int(frame.width * sizeof(uint32_t)));
    }
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    auto toSdl = [](const Rect& rect) { return SDL_Rect{rect.left, rect.top, rect.width(), rect.height()}; };
    Rect destination = pending.destination.value_or(Rect{0, 0, outputWidth, outputHeight});
    if (!pending.destination && window->fullScreen) {
        // Full screen keeps the frame's shape: scaled to fit and centred with black bars.
        const Rect source = pending.source.value_or(Rect{0, 0, int32_t(frame.width), int32_t(frame.height)});
        destination = letterboxRect(source.width(), source.height(), outputWidth, outputHeight);
    }
    const SDL_Rect sdlDestination = toSdl(destination);
    const SDL_Rect sdlSource = pending.source ? toSdl(*pending.source) : SDL_Rect{};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, window->texture.get(), pending.source ? &sdlSource : nullptr, &sdlDestination);
    SDL_RenderPresent(renderer);
    window->present->notePresented();
}

}  // namespace detail

bool postMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    {
        std::lock_guard guard(registry().lock);
        if (window != 0 && detail::findLocked(window) == nullptr) {
            return false;
        }
        enqueueLocked({window, message, wParam, lParam});
    }
    detail::wakeOwner(detail::kWakeMessages, window);
    return true;
}

bool postKeyMessage(int32_t scancode, bool down) {
    if (!enqueueKeyMessage(0, static_cast<SDL_Scancode>(scancode), down, false)) {
        return false;
    }
    detail::wakeOwner(detail::kWakeMessages, 0);
    return true;
}

void postQuitMessage(int32_t exitCode) {
    enqueue({0, kWmQuit, static_cast<WParam>(exitCode), 0});
    detail::wakeOwner(detail::kWakeMessages, 0);
}

int32_t getMessage(Message& message) {
    if (!isWindowThread()) {
        return -1;
    }
    for (;;) {
        runTasks();
        closeWindowsAfterDisplayFailure();
        if (popMessage(message)) {
            return message.message == kWmQuit ? 0 : 1;
        }
        SDL_Event event;
        if (SDL_WaitEvent(&event) == 0) {
            return -1;
        }
        handleEvent(event);
    }
}

bool peekMessage(Message& message) {
    if (!isWindowThread()) {
        return false;
    }
    for (;;) {
        runTasks();
        closeWindowsAfterDisplayFailure();
        if (popMessage(message)) {
            return true;
        }
        SDL_Event event;
        if (SDL_PollEvent(&event) == 0) {
            return false;
        }
        handleEvent(event);
    }
}

bool translateAccelerator(WindowHandle, uintptr_t, const Message&) { return false; }

void translateMessage(const Message&) {}

LResult dispatchMessage(const Message& message) {
    if (message.window == 0) {
        return 0;
    }
    const WindowProcedure procedure = getWindowProcedure(message.window);
    return callWindowProcedure(procedure, message.window, message.message, message.wParam, message.lParam);
}

void addEventTap(EventTap* tap) {
    std::lock_guard guard(tapLock());
    if (tap != nullptr && std::find(taps().begin(), taps().end(), tap) == taps().end()) {
        taps().push_back(tap);
    }
}

void removeEventTap(EventTap* tap) {
    std::lock_guard guard(tapLock());
    std::erase(taps(), tap);
}

}  // namespace Platform::Window
