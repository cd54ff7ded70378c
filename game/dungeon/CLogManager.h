#pragma once
// The dungeon's message log: every line of the floor kept for the log menu, the newest two
// shown in a window at the bottom of the screen, surplus lines scrolled away one every half
// second, and the window gone 3.1 s after the last change. Game thread only.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "game/dungeon/CLogEventListener.h"

namespace Orvex::FontLib {
class OxFontRenderer;
}
namespace Orvex::Graphics {
class OxRenderQueue;
}

namespace Fenwarrow {
class CGeneralWindow;
class IGeneralWindowContext;
}  // namespace Fenwarrow

namespace Fenwarrow::Dungeon {

class CLogManager {
public:
    static constexpr float kDisplayTime = 3.1f;
    static constexpr float kScrollInterval = 0.5f;
    static constexpr std::size_t kVisibleLines = 2;

    // The window takes its textures, sounds and keys from the context; null means the running
    // game's.
    explicit CLogManager(std::shared_ptr<IGeneralWindowContext> windowContext = nullptr);
    ~CLogManager();
    CLogManager(const CLogManager&) = delete;
    CLogManager& operator=(const CLogManager&) = delete;

    // Makes the text window at the bottom of the screen with that font renderer; false (and no
    // window, so nothing is drawn) when the window cannot be made.
    bool createWindow(const std::shared_ptr<Orvex::FontLib::OxFontRenderer>& fontRenderer);

    void addLogMessage(const std::u16string& text);
    void update(float elapsedSeconds);
    // Queues the window and the first two waiting lines, only while shown and with a window.
    // The log must outlive the queue's next run.
    void draw(Orvex::Graphics::OxRenderQueue& queue);
    // Drops the waiting lines and hides the window; the history stays.
    void clear();
    // Clears, stops both timers and empties the history.
    void reset();

    // A null listener is ignored; a listener added twice hears each line twice.
    void addListener(CLogEventListener* listener);
    // Removes the first entry of the listener.
    void removeListener(CLogEventListener* listener);

    const std::vector<std::u16string>& getHistory() const { return history_; }
    const std::deque<std::u16string>& getLines() const { return lines_; }
    bool isShown() const { return shown_; }
    const std::shared_ptr<CGeneralWindow>& getWindow() const { return window_; }

private:
    void drawNow();

    std::shared_ptr<IGeneralWindowContext> windowContext_;
    std::shared_ptr<CGeneralWindow> window_;
    std::deque<std::u16string> lines_;
    bool shown_ = false;
    float displayTime_ = 0.0f;
    float scrollTime_ = 0.0f;
    std::vector<CLogEventListener*> listeners_;
    std::vector<std::u16string> history_;
};

}  // namespace Fenwarrow::Dungeon
