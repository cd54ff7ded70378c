#include "platform/window/Window.h"

#include <SDL.h>

#include <algorithm>
#include <array>

#include "platform/kernel/CodePage.h"
#include "platform/kernel/NeverDestroyed.h"
#include "platform/window/DisplayErrors.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowRegistry.h"

namespace Platform::Window {
namespace detail {

// Outlives every thread: a thread may still post or present while the process ends.
Registry& registry() {
    static Kernel::NeverDestroyed<Registry> instance;
    return instance.get();
}

NativeWindow* findLocked(WindowHandle window) {
    auto& windows = registry().windows;
    const auto it = windows.find(window);
    return it == windows.end() ? nullptr : it->second.get();
}

NativeWindow* findBySdlIdLocked(uint32_t sdlId) {
    for (auto& [handle, window] : registry().windows) {
        if (window->sdlId == sdlId) {
            return window.get();
        }
    }
    return nullptr;
}

void wakeOwner(int32_t code, WindowHandle window) {
    const uint32_t type = registry().wakeType.load();
    if (type == 0) {
        return;  // SDL is down; the owner drains the queue when it starts pumping
    }
    SDL_Event event{};
    event.type = type;
    event.user.code = code;
    event.user.data1 = reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    SDL_PushEvent(&event);
}

void refreshGeometryLocked(NativeWindow& window) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    SDL_GetWindowPosition(window.sdl.get(), &x, &y);
    SDL_GetWindowSize(window.sdl.get(), &width, &height);
    if (SDL_GetWindowBordersSize(window.sdl.get(), &top, &left, &bottom, &right) != 0) {
        top = left = bottom = right = 0;  // the backend cannot tell: treat the frame as empty
    }
    window.clientScreenX = x;
    window.clientScreenY = y;
    window.clientRect = {0, 0, width, height};
    window.windowRect = {x - left, y - top, x + width + right, y + height + bottom};
}

void DestroySdlWindow::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

void DestroySdlRenderer::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }

void DestroySdlTexture::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }

void destroyRendererLocked(NativeWindow& window) {
    window.texture.reset();
    window.renderer.reset();
    window.textureWidth = window.textureHeight = 0;
}

}  // namespace detail

using detail::NativeWindow;
using detail::registry;

namespace {

constexpr std::array<std::u16string_view, 7> kControlClasses = {u"STATIC", u"SCROLLBAR", u"MDICLIENT", u"LISTBOX",
                                                                u"EDIT",   u"COMBOBOX",  u"BUTTON"};

// Real controls are not provided; the procedure stands for one so that it can be forwarded to.
LResult controlProcedure(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    return defWindowProcedure(window, message, wParam, lParam);
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    if (!Kernel::wideToMultiByte(text, out)) {
        out.clear();  // a title with broken surrogates shows as empty rather than garbage
    }
    return out;
}

bool startSdlVideo() {
    // Before SDL's video starts: SDL keeps the handler it finds, chains to it and puts it back
    // when video stops, so it stays in force while the last requests of a dead window fail.
    installDisplayErrorHandlers();
    static const uint32_t wakeType = SDL_RegisterEvents(1);
    if (wakeType == static_cast<uint32_t>(-1) || SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return false;
    }
    // A machine without joystick support simply has no pads.
    registry().joystickStarted = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    registry().wakeType = wakeType;
    return true;
}

void stopSdlVideo() {
    registry().wakeType = 0;
    if (registry().joystickStarted) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        registry().joystickStarted = false;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    // With nothing else of SDL in use (audio keeps its own subsystem), shut it down completely so
    // that its per-process state goes too.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

// Runs `change` with the window at once on the owner thread, or later there from elsewhere.
template <typename Change>
bool onOwner(WindowHandle handle, Change change) {
    if (isWindowThread()) {
        std::lock_guard guard(registry().lock);
        NativeWindow* window = detail::findLocked(handle);
        if (window == nullptr) {
            return false;
        }
        change(*window);
        return true;
    }
    {
        std::lock_guard guard(registry().lock);
        if (detail::findLocked(handle) == nullptr) {
            return false;
        }
    }
    return runOnWindowThread([handle, change] {
        std::lock_guard guard(registry().lock);
        if (NativeWindow* window = detail::findLocked(handle)) {
            change(*window);
        }
    });
}

template <typename Read>
bool readWindow(WindowHandle handle, Read read) {
    std::lock_guard guard(registry().lock);
    NativeWindow* window = detail::findLocked(handle);
    if (window == nullptr) {
        return false;
    }
    read(*window);
    return true;
}

}  // namespace

bool registerClass(const WindowClassInfo& info) {
    if (info.className.empty() || info.procedure == nullptr) {
        return false;
    }
    std::lock_guard guard(registry().lock);
    auto [it, inserted] = registry().classes.try_emplace(info.className);
    if (!inserted) {
        return false;
    }
    it->second.info = info;
    it->second.registeredBy = Kernel::currentThreadId();
    return true;
}

bool unregisterClass(std::u16string_view className) {
    std::lock_guard guard(registry().lock);
    const auto it = registry().classes.find(className);
    if (it == registry().classes.end()) {
        return false;
    }
    for (const auto& [handle, window] : registry().windows) {
        if (window->className == className) {
            return false;  // still in use
        }
    }
    registry().classes.erase(it);
    return true;
}

bool isClassRegistered(std::u16string_view className) {
    std::lock_guard guard(registry().lock);
    return registry().classes.contains(className);
}

bool isControlClass(std::u16string_view className) {
    return std::find(kControlClasses.begin(), kControlClasses.end(), className) != kControlClasses.end();
}

WindowProcedure controlClassProcedure(std::u16string_view className) {
    return isControlClass(className) ? &controlProcedure : nullptr;
}

bool isVideoRunning() { return registry().owner.load() != 0; }

bool isWindowThread() { return registry().owner.load() == Kernel::currentThreadId(); }

WindowHandle createWindow(std::u16string_view className, std::u16string_view title, uint32_t style, int32_t x,
                          int32_t y, int32_t width, int32_t height, WindowHandle /*parent*/) {
    auto& r = registry();
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard guard(r.lock);
        // A predefined control keeps its own procedure even when the name was also registered.
        procedure = controlClassProcedure(className);
        const auto it = r.classes.find(className);
        if (procedure == nullptr && it != r.classes.end()) {
            procedure = it->second.info.procedure;
        }
    }
    if (procedure == nullptr) {
        return 0;
    }
    Kernel::ThreadId expected = 0;
    const Kernel::ThreadId self = Kernel::currentThreadId();
    if (!r.owner.compare_exchange_strong(expected, self) && expected != self) {
        return 0;  // SDL video belongs to another thread
    }
    if (expected == 0 && !startSdlVideo()) {
        r.owner = 0;
        return 0;
    }
    const std::string utf8Title = toUtf8(title);
    const int sdlX = x == kUseDefault ? SDL_WINDOWPOS_UNDEFINED : x;
    const int sdlY = y == kUseDefault ? SDL_WINDOWPOS_UNDEFINED : y;
    const int sdlWidth = width == kUseDefault ? 1 : std::max(1, width);
    const int sdlHeight = height == kUseDefault ? 1 : std::max(1, height);
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if ((style & kStyleThickFrame) != 0) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    std::unique_ptr<SDL_Window, detail::DestroySdlWindow> sdl(
        SDL_CreateWindow(utf8Title.c_str(), sdlX, sdlY, sdlWidth, sdlHeight, flags));
    if (sdl == nullptr) {
        std::lock_guard guard(r.lock);
        if (r.windows.empty()) {
            stopSdlVideo();
            r.owner = 0;
        }
        return 0;
    }
    std::lock_guard guard(r.lock);
    auto window = std::make_unique<NativeWindow>();
    window->handle = r.nextHandle++;
    window->sdlId = SDL_GetWindowID(sdl.get());
    window->sdl = std::move(sdl);
    window->className = std::u16string(className);
    window->procedure = procedure;
    window->title = std::u16string(title);
    window->style = style;
    const WindowHandle handle = window->handle;
    window->present = std::make_shared<PresentTarget>([handle] { detail::wakeOwner(detail::kWakePresent, handle); });
    detail::refreshGeometryLocked(*window);
    r.windows.emplace(handle, std::move(window));
    return handle;
}

bool isWindow(WindowHandle window) {
    return readWindow(window, [](NativeWindow&) {});
}

uint32_t sdlWindowId(WindowHandle handle) {
    uint32_t id = 0;
    readWindow(handle, [&](NativeWindow& window) { id = window.sdlId; });
    return id;
}

void releaseThreadWindows() {
    auto& r = registry();
    const Kernel::ThreadId self = Kernel::currentThreadId();
    if (!isWindowThread()) {
        std::lock_guard guard(r.lock);
        std::erase_if(r.classes, [self](const auto& entry) { return entry.second.registeredBy == self; });
        return;
    }
    detail::notifyTapsStopping();
    std::lock_guard guard(r.lock);
    r.windows.clear();  // each window's texture, renderer and SDL window, in that order
    std::erase_if(r.classes, [self](const auto& entry) { return entry.second.registeredBy == self; });
    r.messages.clear();
    r.tasks.clear();
    if (r.cursorCount < 0) {
        SDL_ShowCursor(SDL_ENABLE);
    }
    r.cursorCount = 0;
    stopSdlVideo();
    r.owner = 0;
}

bool setWindowText(WindowHandle handle, std::u16string_view text) {
    const std::u16string title(text);
    {
        std::lock_guard guard(registry().lock);
        NativeWindow* window = detail::findLocked(handle);
        if (window == nullptr) {
            return false;
        }
        window->title = title;
    }
    return onOwner(handle,
                   [title](NativeWindow& window) { SDL_SetWindowTitle(window.sdl.get(), toUtf8(title).c_str()); });
}

int32_t getWindowText(WindowHandle handle, std::u16string& text, size_t maxChars) {
    text.clear();
    if (maxChars == 0) {
        return 0;
    }
    readWindow(handle, [&](NativeWindow& window) { text = window.title.substr(0, maxChars - 1); });
    return static_cast<int32_t>(text.size());
}

bool getWindowRect(WindowHandle handle, Rect& rect) {
    return readWindow(handle, [&](NativeWindow& window) { rect = window.windowRect; });
}

bool getClientRect(WindowHandle handle, Rect& rect) {
    return readWindow(handle, [&](NativeWindow& window) { rect = window.clientRect; });
}

bool setWindowPos(WindowHandle handle, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
    return onOwner(handle, [=](NativeWindow& window) {
        const int32_t frameLeft = window.clientScreenX - window.windowRect.left;
        const int32_t frameTop = window.clientScreenY - window.windowRect.top;
        const int32_t frameWidth = window.windowRect.width() - window.clientRect.width();
        const int32_t frameHeight = window.windowRect.height() - window.clientRect.height();
        if ((flags & kPosNoSize) == 0) {
            SDL_SetWindowSize(window.sdl.get(), std::max(1, width - frameWidth), std::max(1, height - frameHeight));
        }
        if ((flags & kPosNoMove) == 0) {
            SDL_SetWindowPosition(window.sdl.get(), x + frameLeft, y + frameTop);
        }
        if ((flags & kPosShowWindow) != 0) {
            SDL_ShowWindow(window.sdl.get());
        }
        detail::refreshGeometryLocked(window);
    });
}

uint32_t getWindowStyle(WindowHandle handle) {
    uint32_t style = 0;
    readWindow(handle, [&](NativeWindow& window) { style = window.style; });
    return style;
}

bool setWindowStyle(WindowHandle handle, uint32_t style) {
    return onOwner(handle, [style](NativeWindow& window) {
        window.style = style;
        // Only the frame matters here: a popup has none.
        SDL_SetWindowBordered(window.sdl.get(), (style & kStylePopup) != 0 ? SDL_FALSE : SDL_TRUE);
        SDL_SetWindowResizable(window.sdl.get(), (style & kStyleThickFrame) != 0 ? SDL_TRUE : SDL_FALSE);
        detail::refreshGeometryLocked(window);
    });
}

bool showWindow(WindowHandle handle, int32_t command) {
    return onOwner(handle, [command](NativeWindow& window) {
        switch (command) {
            case kShowHide:
                SDL_HideWindow(window.sdl.get());
                break;
            case kShowMinimized:
                SDL_MinimizeWindow(window.sdl.get());
                break;
            default:
                SDL_ShowWindow(window.sdl.get());
                break;
        }
        detail::refreshGeometryLocked(window);
    });
}

bool setForegroundWindow(WindowHandle handle) {
    bool activated = false;
    {
        std::lock_guard guard(registry().lock);
        NativeWindow* window = detail::findLocked(handle);
        if (window == nullptr) {
            return false;
        }
        activated = !window->foreground;
        for (auto& [other, entry] : registry().windows) {
            entry->foreground = false;
        }
        window->foreground = true;
    }
    onOwner(handle, [](NativeWindow& window) { SDL_RaiseWindow(window.sdl.get()); });
    if (activated) {
        postMessage(handle, kWmActivateApp, 1, 0);
    }
    return true;
}

bool isForeground(WindowHandle handle) {
    bool foreground = false;
    readWindow(handle, [&](NativeWindow& window) { foreground = window.foreground; });
    return foreground;
}

bool setFocus(WindowHandle handle) {
    return onOwner(handle, [](NativeWindow& window) { SDL_SetWindowInputFocus(window.sdl.get()); });
}

int32_t showCursor(bool show) {
    int32_t count = 0;
    {
        std::lock_guard guard(registry().lock);
        count = registry().cursorCount += show ? 1 : -1;
    }
    runOnWindowThread([count] { SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE); });
    return count;
}

void setUserData(WindowHandle handle, void* data) {
    readWindow(handle, [data](NativeWindow& window) { window.userData = data; });
}

void* getUserData(WindowHandle handle) {
    void* data = nullptr;
    readWindow(handle, [&](NativeWindow& window) { data = window.userData; });
    return data;
}

WindowProcedure setWindowProcedure(WindowHandle handle, WindowProcedure procedure) {
    WindowProcedure previous = nullptr;
    readWindow(handle, [&](NativeWindow& window) {
        previous = window.procedure;
        window.procedure = procedure;
    });
    return previous;
}

WindowProcedure getWindowProcedure(WindowHandle handle) {
    WindowProcedure procedure = nullptr;
    readWindow(handle, [&](NativeWindow& window) { procedure = window.procedure; });
    return procedure;
}

LResult callWindowProcedure(WindowProcedure procedure, WindowHandle window, uint32_t message, WParam wParam,
                            LParam lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

LResult defWindowProcedure(WindowHandle, uint32_t, WParam, LParam) { return 0; }

namespace {

SDL_Rect displayBounds() {
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_DisplayMode mode{};
    if (isWindowThread() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        bounds.w = mode.w;
        bounds.h = mode.h;
    }
    return bounds;
}

}  // namespace

int32_t screenWidth() { return displayBounds().w; }

int32_t screenHeight() { return displayBounds().h; }

bool setFullScreen(WindowHandle handle, bool fullScreen) {
    return onOwner(handle, [fullScreen](NativeWindow& window) {
        SDL_Window* sdl = window.sdl.get();
        SDL_Rect bounds{};
        if (fullScreen && !hasWindowManager(sdl) &&
            SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(sdl)), &bounds) == 0) {
            // Nobody would honour the request: the window covers the display itself, and the
            // picture is scaled into whatever size it gets.
            SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
            SDL_SetWindowSize(sdl, bounds.w, bounds.h);
            SDL_RaiseWindow(sdl);
            window.fullScreen = true;
        } else if (SDL_SetWindowFullscreen(sdl, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
            window.fullScreen = fullScreen;
        }
        detail::refreshGeometryLocked(window);
    });
}

bool isFullScreen(WindowHandle handle) {
    bool fullScreen = false;
    readWindow(handle, [&](NativeWindow& window) { fullScreen = window.fullScreen; });
    return fullScreen;
}

bool clipCursor(WindowHandle handle, const Rect* clientRect) {
    const bool clip = clientRect != nullptr;
    const SDL_Rect area = clip ? SDL_Rect{clientRect->left, clientRect->top, clientRect->width(), clientRect->height()}
                               : SDL_Rect{0, 0, 0, 0};
    return onOwner(handle, [clip, area](NativeWindow& window) {
        SDL_SetWindowMouseRect(window.sdl.get(), clip ? &area : nullptr);
        SDL_SetWindowGrab(window.sdl.get(), clip ? SDL_TRUE : SDL_FALSE);
    });
}

bool clientToScreen(WindowHandle handle, int32_t& x, int32_t& y) {
    return readWindow(handle, [&](NativeWindow& window) {
        x += window.clientScreenX;
        y += window.clientScreenY;
    });
}

bool screenToClient(WindowHandle handle, int32_t& x, int32_t& y) {
    return readWindow(handle, [&](NativeWindow& window) {
        x -= window.clientScreenX;
        y -= window.clientScreenY;
    });
}

bool setCursorPos(WindowHandle handle, int32_t x, int32_t y) {
    return onOwner(handle, [x, y](NativeWindow& window) { SDL_WarpMouseInWindow(window.sdl.get(), x, y); });
}

bool getCursorScreenPos(int32_t& x, int32_t& y) {
    std::lock_guard guard(registry().lock);
    if (!registry().cursorKnown) {
        return false;
    }
    x = registry().cursorScreenX;
    y = registry().cursorScreenY;
    return true;
}

bool setCursorScreenPos(int32_t x, int32_t y) {
    WindowHandle target = 0;
    int32_t clientX = 0;
    int32_t clientY = 0;
    {
        std::lock_guard guard(registry().lock);
        for (auto& [handle, window] : registry().windows) {
            const int32_t localX = x - window->clientScreenX;
            const int32_t localY = y - window->clientScreenY;
            const bool inside = localX >= 0 && localY >= 0 && localX < window->clientRect.width() &&
                                localY < window->clientRect.height();
            if (target == 0 || inside) {
                target = handle;
                clientX = localX;
                clientY = localY;
            }
            if (inside) {
                break;
            }
        }
        if (target == 0) {
            return false;
        }
        registry().cursorKnown = true;
        registry().cursorScreenX = x;
        registry().cursorScreenY = y;
    }
    return setCursorPos(target, clientX, clientY);
}

bool runOnWindowThread(std::function<void()> task) {
    auto& r = registry();
    if (r.owner.load() == 0) {
        return false;
    }
    if (isWindowThread()) {
        task();
        return true;
    }
    {
        std::lock_guard guard(r.lock);
        r.tasks.push_back(std::move(task));
    }
    detail::wakeOwner(detail::kWakeMessages, 0);
    return true;
}

std::shared_ptr<PresentTarget> presentTarget(WindowHandle handle) {
    std::shared_ptr<PresentTarget> target;
    readWindow(handle, [&](NativeWindow& window) { target = window.present; });
    return target;
}

}  // namespace Platform::Window
