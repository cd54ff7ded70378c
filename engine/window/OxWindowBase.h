#pragma once
// A top-level window that owns its thread: the thread creates the window, pumps its messages
// and, for the main window, stops every other thread and runs `terminate` when the loop ends.
//
// A derived class must stop the thread (`stop()`) in its own destructor: the thread calls the
// derived hooks, which are gone once the base destructor runs.
#include <atomic>
#include <cstdint>

#include "engine/thread/OxThread.h"
#include "engine/window/IOrvexWinHook.h"
#include "engine/window/IOrvexWindow.h"
#include "engine/window/OxWinHookList.h"
#include "platform/window/WindowTypes.h"

namespace Platform::Gpu {
class GpuDevice;
}

namespace Orvex::Window {

// The window messages and keys the game's windows react to.
inline constexpr uint32_t kMessageKeyDown = Platform::Window::kWmKeyDown;
inline constexpr uintptr_t kKeyF1 = 0x70;

class OxWindowBase : public IOrvexWinHook, public Thread::OxThread, public IOrvexWindow {
public:
    OxWindowBase();
    OxWindowBase(const OxWindowBase&) = delete;
    OxWindowBase& operator=(const OxWindowBase&) = delete;
    ~OxWindowBase() override;

    // Hook and window operations.
    OxLResult hookProc(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam) override;
    void onIdle() override;
    bool isMainWindow() override;
    bool setTitle(const std::u16string& title) override;
    std::u16string getTitle() override;
    bool setPosition(int32_t x, int32_t y) override;
    bool getPosition(int32_t& x, int32_t& y) override;
    bool prepare(WindowCreateParams& params) override;
    bool onCreate() override;
    bool onClose() override;
    void terminate() override;

    IOrvexWinHookList& getHookList() override { return hookList_; }
    OxWindowHandle getHandle() override { return handle_.load(); }
    WindowCreateParams& getCreateParams() override { return params_; }
    uint32_t getThreadId() override { return OxThread::getThreadId(); }

    void run() override;
    void requestStop() override;
    // Any thread: posts the close message to the window, whose close path then ends the program
    // as closing it by hand does. False when there is no window to post to.
    bool postClose();

    // Window thread. 0 created, 1 no class or no window, -1 already created.
    int createWindow();
    void centerWindow();
    void showCursor(bool show);

    // Window thread. Remembers the window's style and rectangle as its windowed appearance.
    void saveWindowedState();
    // A borderless window covering the screen at width x height, the cursor kept inside it
    // (one pixel in from each edge), focused.
    void enterFullScreen(uint32_t width, uint32_t height);
    // Back to the saved windowed appearance, the cursor free, focused.
    void leaveFullScreen();
    // Frames the device presents are shown in this window (by the window thread, which the
    // device never waits for).
    void presentFramesOf(Platform::Gpu::GpuDevice& device);

    bool isMinimized() const { return minimized_.load(); }
    bool isCursorShown() const { return cursorShown_; }
    bool isDialog() const { return dialog_; }
    bool isBlockingLoop() const { return blockingLoop_.load(); }
    // true: wait for each message; false: drain the queue, then one idle pass.
    void setBlockingLoop(bool blocking) { blockingLoop_ = blocking; }
    void setAcceleratorTable(uintptr_t table) { acceleratorTable_ = table; }
    Platform::Window::WindowProcedure getPreviousProc() const { return previousProc_; }
    // What the thread body ended with: 0 after a normal run, else the failing step's result
    // (createWindow's, or one of the two below). A main window that fails to start records a
    // failed start as the program's exit status.
    static constexpr int kRunPrepareFailed = 2;
    static constexpr int kRunCreateFailed = 3;
    int getRunResult() const { return runResult_.load(); }

    // The process's main window: the first window whose thread started; null before that.
    static OxWindowBase* getMainWindow();

    static OxLResult windowProc(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam);

private:
    OxLResult handleMessage(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam);
    void dispatchOne(const Platform::Window::Message& message);
    void runMessageLoop();
    void endFailedStart(int result);

    std::atomic<OxWindowHandle> handle_{0};
    OxWindowHandle parent_ = 0;
    WindowCreateParams params_;
    OxWinHookList hookList_;
    Platform::Window::WindowProcedure previousProc_ = nullptr;
    uint32_t windowedStyle_ = 0;
    Platform::Window::Rect windowedRect_{};
    bool cursorShown_ = true;
    std::atomic<bool> minimized_{false};
    uintptr_t acceleratorTable_ = 0;
    std::atomic<bool> blockingLoop_{false};
    bool dialog_ = false;
    std::atomic<int> runResult_{0};
};

}  // namespace Orvex::Window
