#include "engine/window/OxWindowBase.h"

#include "engine/system/OxEngineState.h"
#include "engine/system/OxWideFormat.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/PresentTarget.h"
#include "platform/window/VirtualKeyCodes.h"
#include "platform/window/Window.h"

namespace Orvex::Window {
namespace {

namespace Pw = Platform::Window;

std::atomic<OxWindowBase*> mainWindow{nullptr};

constexpr uint32_t kClassStyle = 11;  // vertical and horizontal redraw, double clicks
constexpr size_t kTitleBufferChars = 2048;

}  // namespace

OxWindowBase::OxWindowBase() = default;

OxWindowBase::~OxWindowBase() {
    stop();
    hookList_.remove(this);
    OxWindowBase* self = this;
    mainWindow.compare_exchange_strong(self, nullptr);
    handle_ = 0;
}

OxWindowBase* OxWindowBase::getMainWindow() { return mainWindow.load(); }

OxLResult OxWindowBase::hookProc(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam) {
    if (message == Pw::kWmKeyDown && wParam == Pw::kVkEscape) {
        Pw::postMessage(window, Pw::kWmClose, 0, 0);
        return 1;
    }
    return 0;
}

void OxWindowBase::onIdle() { waitForStop(20); }

bool OxWindowBase::isMainWindow() { return mainWindow.load() == this; }

bool OxWindowBase::setTitle(const std::u16string& title) { return Pw::setWindowText(handle_, title); }

std::u16string OxWindowBase::getTitle() {
    std::u16string title;
    if (Pw::getWindowText(handle_, title, kTitleBufferChars) <= 0) {
        title.clear();
    }
    return title;
}

bool OxWindowBase::setPosition(int32_t x, int32_t y) {
    return Pw::setWindowPos(handle_, x, y, 0, 0, Pw::kPosNoSize | Pw::kPosNoZOrder);
}

bool OxWindowBase::getPosition(int32_t& x, int32_t& y) {
    Pw::Rect rect;
    if (!Pw::getWindowRect(handle_, rect)) {
        return false;
    }
    x = rect.left;
    y = rect.top;
    return true;
}

bool OxWindowBase::prepare(WindowCreateParams&) { return true; }

bool OxWindowBase::onCreate() { return true; }

bool OxWindowBase::onClose() { return true; }

void OxWindowBase::terminate() {}

bool OxWindowBase::postClose() {
    const OxWindowHandle handle = handle_.load();
    return handle != 0 && Pw::postMessage(handle, Pw::kWmClose, 0, 0);
}

void OxWindowBase::requestStop() {
    Platform::Kernel::debugOutput(u"call invalidateThread()\n");
    // A blocking loop only looks at the stop flag when a message arrives.
    if (blockingLoop_ && handle_ != 0) {
        Pw::postMessage(handle_, Pw::kWmClose, 0, 0);
    }
    OxThread::requestStop();
}

int OxWindowBase::createWindow() {
    if (handle_ != 0) {
        return -1;
    }
    OxWindowHandle window = 0;
    if (params_.dialogTemplateId == 0) {
        Pw::WindowClassInfo info;
        info.className = params_.className;
        info.procedure = &OxWindowBase::windowProc;
        info.classStyle = kClassStyle;
        info.iconId = params_.iconId;
        if (!Pw::registerClass(info)) {
            return 1;
        }
        window = Pw::createWindow(params_.className, params_.title, params_.style, params_.x, params_.y,
                                  params_.windowWidth, params_.windowHeight, parent_);
        if (window != 0) {
            Pw::Rect windowRect;
            Pw::Rect clientRect;
            Pw::getWindowRect(window, windowRect);
            Pw::getClientRect(window, clientRect);
            params_.windowWidth = params_.clientWidth + (windowRect.width() - clientRect.width());
            params_.windowHeight = params_.clientHeight + (windowRect.height() - clientRect.height());
            Pw::setWindowPos(window, 0, 0, params_.windowWidth, params_.windowHeight,
                             Pw::kPosNoMove | Pw::kPosNoZOrder | Pw::kPosNoRedraw | Pw::kPosNoActivate);
        }
    } else {
        // Dialog templates are resources this platform does not have: no window results.
        dialog_ = true;
    }
    if (window == 0) {
        return 1;
    }
    Pw::setUserData(window, this);
    previousProc_ = nullptr;
    if (Pw::isControlClass(params_.className)) {
        previousProc_ = Pw::setWindowProcedure(window, &OxWindowBase::windowProc);
    }
    hookList_.add(this);
    handle_ = window;
    return 0;
}

void OxWindowBase::centerWindow() {
    const OxWindowHandle window = handle_;
    Pw::Rect rect;
    if (window == 0 || !Pw::getWindowRect(window, rect)) {
        return;
    }
    const int32_t x = (Pw::screenWidth() - rect.width()) / 2;
    const int32_t y = (Pw::screenHeight() - rect.height()) / 2;
    Pw::setWindowPos(window, x, y, 0, 0, Pw::kPosNoSize | Pw::kPosNoZOrder);
}

void OxWindowBase::showCursor(bool show) {
    if (show != cursorShown_) {
        cursorShown_ = show;
        Pw::showCursor(show);
    }
}

void OxWindowBase::saveWindowedState() {
    const OxWindowHandle window = handle_;
    windowedStyle_ = Pw::getWindowStyle(window);
    Pw::getWindowRect(window, windowedRect_);
}

void OxWindowBase::enterFullScreen(uint32_t width, uint32_t height) {
    const OxWindowHandle window = handle_;
    Pw::setWindowStyle(window, Pw::kStylePopup | Pw::kStyleVisible);
    Pw::setWindowPos(window, 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height),
                     Pw::kPosFrameChanged | Pw::kPosShowWindow);
    Pw::setFullScreen(window, true);
    const Pw::Rect clip{1, 1, static_cast<int32_t>(width) - 2, static_cast<int32_t>(height) - 2};
    Pw::clipCursor(window, &clip);
    Pw::setFocus(window);
}

void OxWindowBase::leaveFullScreen() {
    const OxWindowHandle window = handle_;
    const Pw::Rect& rect = windowedRect_;
    Pw::setFullScreen(window, false);
    Pw::setWindowStyle(window, windowedStyle_);
    Pw::setWindowPos(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     Pw::kPosFrameChanged | Pw::kPosShowWindow);
    Pw::clipCursor(window, nullptr);
    Pw::setFocus(window);
}

void OxWindowBase::presentFramesOf(Platform::Gpu::GpuDevice& device) {
    const OxWindowHandle window = handle_;
    device.setFrameSink([window](const std::shared_ptr<const Platform::Gpu::Frame>& frame) {
        if (auto target = Pw::presentTarget(window)) {
            // The device's frame itself, not a copy: the device fills it again only once the
            // window thread has let go of it too.
            target->submit(Pw::FrameBuffer{frame->width, frame->height, frame->pixels, frame});
        }
    });
}

OxLResult OxWindowBase::windowProc(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam) {
    auto* self = static_cast<OxWindowBase*>(Pw::getUserData(window));
    if (self == nullptr) {
        return Pw::defWindowProcedure(window, message, wParam, lParam);
    }
    return self->handleMessage(window, message, wParam, lParam);
}

OxLResult OxWindowBase::handleMessage(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam) {
    switch (message) {
        case Pw::kWmDestroy:
            Pw::showWindow(window, Pw::kShowHide);
            Pw::setWindowStyle(window, Pw::kStylePopup);
            Pw::setWindowPos(window, 0, 0, 0, 0, Pw::kPosNoMove | Pw::kPosNoSize);
            if (isMainWindow()) {
                Pw::postQuitMessage(0);
            }
            break;
        case Pw::kWmSize:
            if (wParam == Pw::kSizeMinimized) {
                minimized_ = true;
            } else if (wParam == Pw::kSizeRestored) {
                minimized_ = false;
            }
            break;
        case Pw::kWmActivateApp:
            if (wParam != 0) {
                minimized_ = false;
            }
            break;
        case Pw::kWmClose:
            if (onClose()) {
                OxThread::requestStop();
            }
            return 1;
        default:
            break;
    }
    return dialog_ ? hookList_.dispatchDialog(window, message, wParam, lParam, previousProc_)
                   : hookList_.dispatch(window, message, wParam, lParam, previousProc_);
}

void OxWindowBase::endFailedStart(int result) {
    runResult_ = result;
    if (isMainWindow()) {
        System::recordExitFailure();
    }
}

void OxWindowBase::dispatchOne(const Pw::Message& message) {
    if (!Pw::translateAccelerator(handle_, acceleratorTable_, message)) {
        Pw::translateMessage(message);
        Pw::dispatchMessage(message);
    }
}

void OxWindowBase::runMessageLoop() {
    while (keepRunning()) {
        Pw::Message message;
        if (blockingLoop_) {
            if (Pw::getMessage(message) == -1) {
                requestStop();
                break;
            }
            dispatchOne(message);
        } else {
            while (Pw::peekMessage(message)) {
                dispatchOne(message);
            }
            onIdle();
        }
    }
}

void OxWindowBase::run() {
    runResult_ = 0;
    OxWindowBase* none = nullptr;
    if (mainWindow.compare_exchange_strong(none, this)) {
        const Thread::OxThreadHandle thread = getThreadData();
        Platform::Kernel::debugOutput(System::formatWide(u"MainWindowThread h=%d\n", thread ? thread->value() : 0));
    }
    if (!prepare(params_)) {
        endFailedStart(kRunPrepareFailed);
        return;
    }
    if (const int created = createWindow(); created != 0) {
        endFailedStart(created);
        return;
    }
    waitForStop(100);
    if (!onCreate()) {
        // What the start made before it failed is released the way a normal end releases it.
        endFailedStart(kRunCreateFailed);
        terminate();
    } else {
        const OxWindowHandle window = handle_;
        Pw::showWindow(window, Pw::kShowNoActivate);
        if (isMainWindow()) {
            Pw::showWindow(window, Pw::kShow);
            Pw::setWindowPos(window, 0, 0, 0, 0, Pw::kPosNoMove | Pw::kPosNoSize | Pw::kPosFrameChanged);
            Pw::setForegroundWindow(window);
            Pw::setFocus(window);
        }
        runMessageLoop();
        Platform::Kernel::debugOutput(u"call stopAllThread()\n");
        if (isMainWindow()) {
            Thread::OxThreadManager::instance()->stopAllThread();
        }
        Platform::Kernel::debugOutput(u"succeeded\n");
        terminate();
        // No menu exists to take away here.
    }
    // The thread that owns SDL video is ending: its windows and classes go with it.
    handle_ = 0;
    Pw::releaseThreadWindows();
}

}  // namespace Orvex::Window
