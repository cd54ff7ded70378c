#pragma once
// What the developer scenes share: plain text drawn with a font on a sprite over the renderer's
// device, the keyboard when the input system has one, and the count of updates a new list
// ignores so that the key that opened it does not choose in it at once.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/graphics/OxDXFont.h"
#include "engine/graphics/OxDXSprite.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/input/OxVirtualKey.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Scene {

inline constexpr uint32_t kDeveloperDrawPriority = 6000000;
inline constexpr uint32_t kDeveloperTextColour = 0xFFFFFFFF;

// Keyboard key numbers the developer scenes read.
enum DeveloperKey : uint32_t {
    kKeyDigit1 = 1,
    kKeyDigit0 = 10,
    kKeyR = 18,
    kKeyEnter = 27,
    kKeyA = 29,
    kKeyS = 30,
    kKeyD = 31,
    kKeyZ = 43,
    kKeyX = 44,
    kKeyC = 45,
    kKeySpace = 56,
    kKeyUp = 120,
    kKeyLeft = 122,
    kKeyRight = 123,
    kKeyDown = 125,
};

// The virtual keys that stand for the cursor keys and Enter.
enum DeveloperVirtualKey : uint32_t {
    kVirtualUp = 0,
    kVirtualDown = 2,
    kVirtualEnter = 5,
};

// A line of a developer's scene list: the scene it opens and its label.
struct DeveloperSceneEntry {
    int32_t scene;
    const char16_t* label;
};

class DeveloperConsole {
public:
    DeveloperConsole() = default;
    DeveloperConsole(const DeveloperConsole&) = delete;
    DeveloperConsole& operator=(const DeveloperConsole&) = delete;
    ~DeveloperConsole();

    // The keyboard device of the input system, opened if need be; false (and no keyboard)
    // when there is no input system or it cannot open one, as on a machine without a display.
    bool openKeyboard();
    // The sprite on the renderer's device and a font of that height on it.
    bool createFont(ISceneContext& context, uint32_t height);

    // Keyboard reads; all false without a keyboard.
    bool isPushed(uint32_t key) const;
    bool isDown(uint32_t key) const;
    bool isReleased(uint32_t key) const;
    bool hasKeyboard() const { return keyboard_ != nullptr; }
    // The keyboard key; without a keyboard, the virtual key that stands for it, so that the
    // scene can still be driven (headless runs, a machine without a keyboard device).
    bool isPushedOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const;
    bool isDownOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const;
    bool isReleasedOr(uint32_t key, Orvex::InputSystem::OxVirtualKey* keys, uint32_t virtualKey) const;

    // The first frames after construction read no keys; true while one is still to be ignored
    // (and counts it).
    bool ignoreThisUpdate();

    // Text between begin and end of the sprite; false without a font.
    bool begin();
    void drawText(int32_t x, int32_t y, const std::u16string& text, uint32_t argb = kDeveloperTextColour);
    void end();

    // Queues the frame's drawing of a list of scenes numbered from 1, with the cursor.
    void queueSceneList(Orvex::Graphics::OxRenderQueue& queue, const DeveloperSceneEntry* entries, int32_t count,
                        const int32_t& cursor);
    // The "⇒" cursor left of line `line` of a list starting at (100, 100), lines 15 apart.
    void drawListCursor(int32_t line);
    static int32_t listLineY(int32_t line) { return 100 + 15 * line; }
    static constexpr int32_t kListX = 100;

    Orvex::Graphics::OxDXFont& getFont() { return font_; }

private:
    std::shared_ptr<Orvex::InputSystem::OxKeyboardDevice> keyboard_;
    Orvex::Graphics::OxDXSprite sprite_;
    Orvex::Graphics::OxDXFont font_;
    bool hasFont_ = false;
    int32_t ignoreUpdates_ = 15;
};

}  // namespace Fenwarrow::Scene
