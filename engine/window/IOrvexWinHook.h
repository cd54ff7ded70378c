#pragma once
// A watcher of window messages. The window itself is one; input devices are others.
#include <cstdint>
#include <string>

#include "engine/window/WindowCreateParams.h"
#include "platform/window/WindowTypes.h"

namespace Orvex::Window {

using OxWindowHandle = Platform::Window::WindowHandle;
using OxWParam = Platform::Window::WParam;
using OxLParam = Platform::Window::LParam;
using OxLResult = Platform::Window::LResult;

class IOrvexWinHook {
public:
    virtual ~IOrvexWinHook() = default;

    // A non-zero result answers the message; later hooks and the default handling are skipped.
    virtual OxLResult hookProc(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam) = 0;
    // The remaining operations belong to windows; a plain hook keeps these neutral answers.
    virtual void onIdle() {}
    virtual bool isMainWindow() { return false; }
    virtual bool setTitle(const std::u16string&) { return false; }
    virtual std::u16string getTitle() { return {}; }
    virtual bool setPosition(int32_t, int32_t) { return false; }
    virtual bool getPosition(int32_t&, int32_t&) { return false; }
    virtual bool prepare(WindowCreateParams&) { return true; }
    virtual bool onCreate() { return true; }
    virtual bool onClose() { return true; }
    virtual void terminate() {}
};

}  // namespace Orvex::Window
