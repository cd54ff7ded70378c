#include "game/dungeon/CLogManager.h"

#include <algorithm>

#include "engine/font/OxFontRenderer.h"
#include "engine/graphics/OxRenderQueue.h"
#include "game/generalwindow/CGeneralWindow.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr float kWindowX = 20.0f;
constexpr float kWindowY = 460.0f;
constexpr float kWindowWidth = 760.0f;
// Two lines and the frame's margins.
constexpr float kWindowLines = 3.4f;
constexpr float kTextX = 80.0f;
constexpr float kFirstLineY = 485.0f;

float lineHeightOf(const Orvex::FontLib::OxFontRenderer& renderer) {
    return renderer.getFont() != nullptr ? static_cast<float>(renderer.getFont()->lineHeight) : 0.0f;
}

}  // namespace

CLogManager::CLogManager(std::shared_ptr<IGeneralWindowContext> windowContext)
    : windowContext_(std::move(windowContext)) {}

CLogManager::~CLogManager() = default;

bool CLogManager::createWindow(const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& fontRenderer) {
    // The frame and its texture come from the game's services: without them there is no window.
    if (windowContext_ == nullptr) {
        window_.reset();
        return false;
    }
    auto window = std::make_shared<CGeneralWindow>(windowContext_);
    if (!window->create(fontRenderer)) {
        window_.reset();
        return false;
    }
    window->setWindowMode(CGeneralWindow::kModeText);
    window->showTitle = false;
    window->x = kWindowX;
    window->y = kWindowY;
    const float size[2] = {kWindowWidth, lineHeightOf(*fontRenderer) * kWindowLines};
    window->setWindowSize(size);
    window_ = std::move(window);
    return true;
}

void CLogManager::addLogMessage(const std::u16string& text) {
    history_.push_back(text);
    lines_.push_back(text);
    displayTime_ = kDisplayTime;
    if (!shown_) {
        scrollTime_ = kScrollInterval;
        shown_ = true;
    } else {
        // A line arriving while others wait may push the oldest out at the next update.
        scrollTime_ = 0.0f;
    }
    // By index: a listener may add or remove listeners while it is told.
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->onLog();
    }
}

void CLogManager::update(float elapsedSeconds) {
    if (!shown_) {
        return;
    }
    if (window_ != nullptr) {
        window_->update(elapsedSeconds);
    }
    if (lines_.size() > kVisibleLines) {
        scrollTime_ -= elapsedSeconds;
        if (scrollTime_ <= 0.0f) {
            scrollTime_ = kScrollInterval;
            displayTime_ = kDisplayTime;
            lines_.pop_front();
        }
    }
    displayTime_ -= elapsedSeconds;
    if (displayTime_ <= 0.0f) {
        clear();
    }
}

void CLogManager::draw(Orvex::Graphics::OxRenderQueue& queue) {
    if (shown_ && window_ != nullptr) {
        queue.add(Orvex::Graphics::RenderPriority::kLogWindow, [this] { drawNow(); });
    }
}

void CLogManager::drawNow() {
    if (window_ == nullptr) {
        return;
    }
    window_->draw();
    const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& font = window_->getFontRenderer();
    if (font == nullptr) {
        return;
    }
    const float lineHeight = lineHeightOf(*font);
    const std::size_t count = std::min(lines_.size(), kVisibleLines);
    for (std::size_t i = 0; i < count; ++i) {
        font->penX = kTextX;
        font->penY = kFirstLineY + static_cast<float>(i) * lineHeight;
        font->drawText(lines_[i], window_->getParameters());
    }
}

void CLogManager::clear() {
    lines_.clear();
    shown_ = false;
}

void CLogManager::reset() {
    clear();
    displayTime_ = 0.0f;
    scrollTime_ = 0.0f;
    history_.clear();
}

void CLogManager::addListener(CLogEventListener* listener) {
    if (listener != nullptr) {
        listeners_.push_back(listener);
    }
}

void CLogManager::removeListener(CLogEventListener* listener) {
    const auto found = std::find(listeners_.begin(), listeners_.end(), listener);
    if (found != listeners_.end()) {
        listeners_.erase(found);
    }
}

}  // namespace Fenwarrow::Dungeon
