#pragma once
#include "engine/window/IOrvexWinHook.h"
#include "platform/window/WindowTypes.h"

namespace Orvex::Window {

class IOrvexWinHookList {
public:
    virtual void add(IOrvexWinHook* hook) = 0;
    virtual void remove(IOrvexWinHook* hook) = 0;
    virtual void clear() = 0;
    virtual OxLResult dispatch(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                               Platform::Window::WindowProcedure previous) = 0;
    virtual OxLResult dispatchDialog(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                                     Platform::Window::WindowProcedure previous) = 0;
    virtual ~IOrvexWinHookList() = default;
};

}  // namespace Orvex::Window
