#pragma once
#include <cstdint>

#include "engine/window/IOrvexWinHookList.h"
#include "engine/window/WindowCreateParams.h"

namespace Orvex::Window {

class IOrvexWindow {
public:
    virtual ~IOrvexWindow() = default;
    virtual IOrvexWinHookList& getHookList() = 0;
    virtual OxWindowHandle getHandle() = 0;
    virtual WindowCreateParams& getCreateParams() = 0;
    virtual uint32_t getThreadId() = 0;
};

}  // namespace Orvex::Window
