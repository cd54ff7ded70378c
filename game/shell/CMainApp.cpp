#include "game/shell/CMainApp.h"

#include "game/scene/SceneNumbers.h"
#include "game/shell/CGameManager.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/NativeThread.h"
#include "platform/window/VirtualKeyCodes.h"
#include "platform/window/Window.h"

namespace Fenwarrow {
namespace {

using Platform::Kernel::debugOutput;

constexpr char16_t kGameTitle[] = u"Fenwarrow Tales";
constexpr char16_t kVersion[] = u"1.00";
constexpr uint16_t kIconId = 107;
// The window thread gives the frame in progress at least this long before it touches the
// device, and waits for the game thread to park for at most the second value.
constexpr uint32_t kParkGraceMs = 100;
constexpr uint32_t kParkLimitMs = 5000;

}  // namespace

std::atomic<CMainApp*> CMainApp::instance_{nullptr};
std::atomic<bool> CMainApp::terminated_{false};

bool CMainApp::createInstance() {
    if (instance_.load() != nullptr) {
        return false;
    }
    instance_ = new CMainApp();
    return true;
}

CMainApp::~CMainApp() {
    // The window thread calls this object's hooks: it must be gone before the members are.
    stop();
    CMainApp* self = this;
    instance_.compare_exchange_strong(self, nullptr);
}

bool CMainApp::prepare(Orvex::Window::WindowCreateParams& params) {
    if (!settings_.load()) {
        return false;
    }
    fullScreen_ = settings_.fullScreen;
    params.className = kGameTitle;
    params.title = std::u16string(kGameTitle) + u" Ver" + kVersion;
    params.clientWidth = static_cast<int32_t>(settings_.windowWidth);
    params.clientHeight = static_cast<int32_t>(settings_.windowHeight);
    params.iconId = kIconId;
    setBlockingLoop(true);
    return true;
}

bool CMainApp::onCreate() {
    centerWindow();
    showCursor(false);
    const Orvex::Window::OxWindowHandle window = getHandle();
    windowState_.window = window;
    windowState_.menu = 0;  // the game's window has no menu
    windowState_.style = Platform::Window::getWindowStyle(window);
    Platform::Window::getWindowRect(window, windowState_.rect);
    if (fullScreen_) {
        enterFullScreen(settings_.screenWidth, settings_.screenHeight);
    } else {
        leaveFullScreen();
    }
    windowThreadId_ = Platform::Kernel::currentThreadId();
    return CGameManager::instance()->initialize();
}

bool CMainApp::onClose() {
    debugOutput(u"CMainApp closeMessage.\n");
    debugOutput(u"CMainApp closeMessage OK!.\n");
    debugOutput(u"free debug console.\n");
    return true;
}

void CMainApp::terminate() {
    debugOutput(u"CMainApp terminate.\n");
    debugOutput(u"CMainApp destroy.\n");
    if (CGameManager* manager = Orvex::System::singleton<CGameManager>::existingInstance()) {
        manager->terminate();
    }
    debugOutput(u"free debug console.\n");
    terminated_ = true;
}

void CMainApp::enterFullScreen(uint32_t width, uint32_t height) {
    const Orvex::Window::OxWindowHandle window = getHandle();
    Platform::Window::setWindowStyle(window, Platform::Window::kStylePopup | Platform::Window::kStyleVisible);
    Platform::Window::setWindowPos(window, 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height),
                                   Platform::Window::kPosFrameChanged | Platform::Window::kPosShowWindow);
    Platform::Window::setFullScreen(window, true);
    const Platform::Window::Rect clip{1, 1, static_cast<int32_t>(width) - 2, static_cast<int32_t>(height) - 2};
    Platform::Window::clipCursor(window, &clip);
    Platform::Window::setFocus(window);
}

void CMainApp::leaveFullScreen() {
    const Orvex::Window::OxWindowHandle window = getHandle();
    const Platform::Window::Rect& rect = windowState_.rect;
    Platform::Window::setFullScreen(window, false);
    Platform::Window::setWindowStyle(window, windowState_.style);
    Platform::Window::setWindowPos(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                   Platform::Window::kPosFrameChanged | Platform::Window::kPosShowWindow);
    Platform::Window::clipCursor(window, nullptr);
    Platform::Window::setFocus(window);
}

Orvex::Graphics::OxGraphicsParameters CMainApp::resetParameters() const {
    Orvex::Graphics::OxGraphicsParameters parameters;
    parameters.fullScreen = fullScreen_ ? 1 : 0;
    parameters.secondFlag = 0;
    parameters.width = settings_.screenWidth;
    parameters.height = settings_.screenHeight;
    parameters.reserved0 = 0;
    parameters.reserved1 = 1;
    parameters.reserved2 = 1;
    return parameters;
}

Orvex::Window::OxLResult CMainApp::hookProc(Orvex::Window::OxWindowHandle, uint32_t message,
                                            Orvex::Window::OxWParam wParam, Orvex::Window::OxLParam) {
    if (terminated_ || message != Platform::Window::kWmKeyDown || wParam != Platform::Window::kVkF1) {
        return 0;
    }
    fullScreen_ = !fullScreen_;
    const Orvex::Graphics::OxGraphicsParameters parameters = resetParameters();
    if (fullScreen_) {
        enterFullScreen(settings_.screenWidth, settings_.screenHeight);
    } else {
        leaveFullScreen();
    }
    resetDeviceHoldingGameThread(parameters, /*resetFrameTimer=*/true);
    return 1;
}

bool CMainApp::keepRunning() {
    CGameManager* manager = Orvex::System::singleton<CGameManager>::existingInstance();
    Orvex::Graphics::IOrvexGraphics* graphics = manager != nullptr ? manager->getGraphics() : nullptr;
    Platform::Gpu::GpuDevice* device = graphics != nullptr ? graphics->getDevice() : nullptr;
    if (device != nullptr && device->testCooperativeLevel() == Platform::Gpu::kErrDeviceNotReset) {
        if (fullScreen_) {
            enterFullScreen(settings_.screenWidth, settings_.screenHeight);
        } else {
            leaveFullScreen();
        }
        resetDeviceHoldingGameThread(resetParameters(), /*resetFrameTimer=*/false);
    }
    return OxWindowBase::keepRunning();
}

void CMainApp::resetDeviceHoldingGameThread(const Orvex::Graphics::OxGraphicsParameters& parameters,
                                            bool resetFrameTimer) {
    CGameManager* manager = Orvex::System::singleton<CGameManager>::existingInstance();
    if (manager == nullptr || manager->getRenderer() == nullptr) {
        return;
    }
    Orvex::Thread::OxThread& gameThread = manager->getGameThread();
    gameThread.suspend(0);
    // The suspension takes effect at the end of the frame in progress: wait until the game
    // thread has really parked before the device it may still be drawing with is reset.
    Platform::Kernel::sleepMs(kParkGraceMs);
    gameThread.waitUntilParked(kParkLimitMs);
    manager->getRenderer()->reset(&parameters);
    if (resetFrameTimer) {
        manager->getFrameTimer().reset();
    }
    gameThread.resume();
}

}  // namespace Fenwarrow
