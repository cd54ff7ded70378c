#pragma once
// The game's one window: loads the boot settings before the window exists, switches between
// full screen and a window (at start and on F1), brings the device back after a loss, and starts
// and stops the game manager from the window thread.
#include <atomic>
#include <cstdint>

#include "engine/window/OxWindowBase.h"
#include "game/services/CGameSetting.h"
#include "graphics/include/OxGraphicsTypes.h"

namespace Fenwarrow {

class CMainApp : public Orvex::Window::OxWindowBase {
public:
    // False when an instance exists already.
    static bool createInstance();
    static CMainApp* getInstance() { return instance_.load(); }
    // Set once terminate has run; F1 is ignored from then on.
    static bool isTerminated() { return terminated_.load(); }

    ~CMainApp() override;

    Orvex::Window::OxLResult hookProc(Orvex::Window::OxWindowHandle window, uint32_t message,
                                      Orvex::Window::OxWParam wParam, Orvex::Window::OxLParam lParam) override;
    bool prepare(Orvex::Window::WindowCreateParams& params) override;
    bool onCreate() override;
    bool onClose() override;
    void terminate() override;
    bool keepRunning() override;

    const CGameSetting& getSettings() const { return settings_; }
    bool isFullScreen() const { return fullScreen_; }

private:
    CMainApp() = default;

    // Full screen at the screen size or the saved window, as fullScreen_ says.
    void applyScreenMode();
    Orvex::Graphics::OxGraphicsParameters resetParameters() const;
    // Parks the game thread, releases and rebuilds the device objects around the renderer's
    // reset, and lets the game thread go again.
    void resetDeviceHoldingGameThread(const Orvex::Graphics::OxGraphicsParameters& parameters, bool resetFrameTimer);

    static std::atomic<CMainApp*> instance_;
    static std::atomic<bool> terminated_;

    CGameSetting settings_;
    bool fullScreen_ = false;
};

}  // namespace Fenwarrow
