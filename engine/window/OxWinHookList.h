#pragma once
// The hooks of a window, asked in order. Every operation holds the list's lock, dispatch
// included, so hooks may be added or removed from other threads while messages flow.
#include <vector>

#include "engine/thread/OxCriticalSection.h"
#include "engine/window/IOrvexWinHookList.h"

namespace Orvex::Window {

class OxWinHookList : public IOrvexWinHookList {
public:
    void add(IOrvexWinHook* hook) override;
    void remove(IOrvexWinHook* hook) override;
    void clear() override;
    // The first non-zero hook result; else the previous procedure's, else the default one's.
    OxLResult dispatch(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                       Platform::Window::WindowProcedure previous) override;
    // The first non-zero hook result, else 0.
    OxLResult dispatchDialog(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam,
                             Platform::Window::WindowProcedure previous) override;
    size_t size();

private:
    OxLResult askHooks(OxWindowHandle window, uint32_t message, OxWParam wParam, OxLParam lParam);

    std::vector<IOrvexWinHook*> hooks_;
    Thread::OxCriticalSection lock_;
};

}  // namespace Orvex::Window
