#include "game/shell/CMainApp.h"

#include "game/scene/CDungeonScene.h"
#include "game/scene/SceneNumbers.h"
#include "game/shell/CGameManager.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow {
namespace {

using Orvex::System::debugOutput;

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
    saveWindowedState();
    applyScreenMode();
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

void CMainApp::applyScreenMode() {
    if (fullScreen_) {
        enterFullScreen(settings_.screenWidth, settings_.screenHeight);
    } else {
        leaveFullScreen();
    }
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
    if (terminated_ || message != Orvex::Window::kMessageKeyDown || wParam != Orvex::Window::kKeyF1) {
        return 0;
    }
    fullScreen_ = !fullScreen_;
    const Orvex::Graphics::OxGraphicsParameters parameters = resetParameters();
    applyScreenMode();
    resetDeviceHoldingGameThread(parameters, /*resetFrameTimer=*/true);
    return 1;
}

bool CMainApp::keepRunning() {
    CGameManager* manager = Orvex::System::singleton<CGameManager>::existingInstance();
    Orvex::Graphics::IOrvexRenderer* renderer = manager != nullptr ? manager->getRenderer() : nullptr;
    if (renderer != nullptr && renderer->testDevice() == Orvex::Graphics::kOxErrDeviceNotReset) {
        applyScreenMode();
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
    Orvex::System::sleepMilliseconds(kParkGraceMs);
    gameThread.waitUntilParked(kParkLimitMs);
    // The dungeon scene's overlay lives on the device and is re-made on the reset one.
    Orvex::SceneController::OxSceneController& scenes = manager->getSceneController();
    auto* dungeon = scenes.getCurrentSceneId() == Scene::kSceneDungeon
                        ? dynamic_cast<Scene::CDungeon*>(scenes.getCurrentScene())
                        : nullptr;
    if (dungeon != nullptr) {
        dungeon->releaseDeviceResources();
    }
    manager->getRenderer()->reset(&parameters);
    if (dungeon != nullptr) {
        dungeon->createDeviceResources();
    }
    if (resetFrameTimer) {
        manager->getFrameTimer().reset();
    }
    gameThread.resume();
}

}  // namespace Fenwarrow
