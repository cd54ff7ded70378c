#include "engine/window/OxWinHookList.h"

#include <algorithm>

#include "platform/window/Window.h"

namespace Orvex::Window {

void OxWinHookList::add(IOrvexWinHook* hook) {
    Thread::OxCriticalLock lock(lock_);
    hooks_.push_back(hook);
}

void OxWinHookList::remove(IOrvexWinHook* hook) {
    Thread::OxCriticalLock lock(lock_);
    std::erase(hooks_, hook);
}

void OxWinHookList::clear() {
    Thread::OxCriticalLock lock(lock_);
    hooks_.clear();
}

size_t OxWinHookList::size() {
    Thread::OxCriticalLock lock(lock_);
    return hooks_.size();
}

OxLResult OxWinHookList::askHooks(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam) {
    for (IOrvexWinHook* hook : hooks_) {
        if (const OxLResult result = hook->hookProc(window, message, wParam, lParam); result != 0) {
            return result;
        }
    }
    return 0;
}

OxLResult OxWinHookList::dispatch(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                                  Platform::Window::WindowProcedure previous) {
    Thread::OxCriticalLock lock(lock_);
    if (const OxLResult result = askHooks(window, message, wParam, lParam); result != 0) {
        return result;
    }
    if (previous != nullptr) {
        return Platform::Window::callWindowProcedure(previous, window, message, wParam, lParam);
    }
    return Platform::Window::defWindowProcedure(window, message, wParam, lParam);
}

OxLResult OxWinHookList::dispatchDialog(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                                        Platform::Window::WindowProcedure) {
    Thread::OxCriticalLock lock(lock_);
    return askHooks(window, message, wParam, lParam);
}

}  // namespace Orvex::Window
