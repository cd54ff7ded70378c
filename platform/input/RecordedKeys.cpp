#include "platform/input/RecordedKeys.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sstream>

#include "platform/input/KeyCodes.h"

namespace Platform::Input {
namespace {

constexpr uint8_t kDown = 0x80;
constexpr uint32_t kPadButtons = 128;
constexpr uint32_t kStickUp = 128;
constexpr uint32_t kStickRight = 129;
constexpr uint32_t kStickDown = 130;
constexpr uint32_t kStickLeft = 131;
constexpr int32_t kAxisMin = -32768;
constexpr int32_t kAxisMax = 32767;

// The read count: decimal digits only, at most 19 of them so that it fits 64 bits; 0 for
// anything else (a sign, a letter, a count too long), which no read has.
uint64_t readCount(const std::string& text) {
    if (text.empty() || text.size() > 19) {
        return 0;
    }
    uint64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') {
            return 0;
        }
        value = value * 10 + static_cast<uint64_t>(digit - '0');
    }
    return value;
}

// The input number of a pad name ("Pad0" to "Pad131"); -1 for any other name.
int32_t padInput(const std::string& name) {
    const std::string prefix = "Pad";
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 3 ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    const uint64_t number = readCount(name.substr(prefix.size()));
    const bool zero = name.substr(prefix.size()) == "0";
    if ((number == 0 && !zero) || number > kStickLeft) {
        return -1;
    }
    return static_cast<int32_t>(number);
}

// The entry without the spaces around it.
std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

RecordedKeys::RecordedKeys(const std::string& list) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        item = trimmed(item);
        if (item.empty()) {
            continue;
        }
        const std::size_t colon = item.find(':');
        const char sign = item.back();
        const uint64_t read = colon != std::string::npos ? readCount(item.substr(0, colon)) : 0;
        const std::string name = colon != std::string::npos && item.size() > colon + 2
                                     ? item.substr(colon + 1, item.size() - colon - 2)
                                     : std::string();
        const bool hasSign = sign == '+' || sign == '-';
        if (const int32_t input = padInput(name); input >= 0 && read != 0 && hasSign) {
            padChanges_[read].push_back({static_cast<uint32_t>(input), sign == '+'});
            continue;
        }
        const SDL_Scancode scancode = name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
        const uint8_t code = keyCodeFromScancode(scancode);
        if (read == 0 || !hasSign || code == 0) {
            std::fprintf(stderr, "ORVEX_INPUT_KEYS: \"%s\" is not <read>:<key name><+|->; skipped\n", item.c_str());
            continue;
        }
        changes_[read].push_back({code, static_cast<int32_t>(scancode), sign == '+'});
    }
}

RecordedKeys RecordedKeys::fromEnvironment() {
    const char* list = std::getenv("ORVEX_INPUT_KEYS");
    return list != nullptr ? RecordedKeys(list) : RecordedKeys();
}

void RecordedKeys::applyPadChange(const PadChange& change, JoyState& pad) {
    if (change.input < kPadButtons) {
        pad.buttons[change.input] = change.down ? kDown : 0;
        return;
    }
    // The stick pushed one way; letting go of a way it no longer points leaves it alone.
    const bool vertical = change.input == kStickUp || change.input == kStickDown;
    const bool towardsMax = change.input == kStickRight || change.input == kStickDown;
    const int32_t pushed = towardsMax ? kAxisMax : kAxisMin;
    int32_t& axis = vertical ? pad.y : pad.x;
    if (change.down) {
        axis = pushed;
    } else if (axis == pushed) {
        axis = 0;
    }
}

std::vector<RecordedKeys::Change> RecordedKeys::applyNextRead(uint8_t (&keys)[256], JoyState* pad) {
    ++reads_;
    if (const auto padFound = padChanges_.find(reads_); padFound != padChanges_.end() && pad != nullptr) {
        for (const PadChange& change : padFound->second) {
            applyPadChange(change, *pad);
        }
    }
    const auto found = changes_.find(reads_);
    if (found == changes_.end()) {
        return {};
    }
    for (const Change& change : found->second) {
        keys[change.code] = change.down ? kDown : 0;
    }
    return found->second;
}

}  // namespace Platform::Input
