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
        const SDL_Scancode scancode = name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
        const uint8_t code = keyCodeFromScancode(scancode);
        if (read == 0 || (sign != '+' && sign != '-') || code == 0) {
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

std::vector<RecordedKeys::Change> RecordedKeys::applyNextRead(uint8_t (&keys)[256]) {
    const auto found = changes_.find(++reads_);
    if (found == changes_.end()) {
        return {};
    }
    for (const Change& change : found->second) {
        keys[change.code] = change.down ? kDown : 0;
    }
    return found->second;
}

}  // namespace Platform::Input
