#include "platform/input/RecordedKeys.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/input/KeyCodes.h"

namespace Platform::Input {
namespace {

constexpr uint8_t kDown = 0x80;

}  // namespace

RecordedKeys::RecordedKeys(const std::string& list) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item.empty()) {
            continue;
        }
        const std::size_t colon = item.find(':');
        const char sign = item.back();
        char* end = nullptr;
        const unsigned long long read = colon != std::string::npos ? std::strtoull(item.c_str(), &end, 10) : 0;
        const std::string name = colon != std::string::npos && item.size() > colon + 2
                                     ? item.substr(colon + 1, item.size() - colon - 2)
                                     : std::string();
        const SDL_Scancode scancode = name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
        const uint8_t code = keyCodeFromScancode(scancode);
        if (read == 0 || end != item.c_str() + colon || (sign != '+' && sign != '-') || code == 0) {
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
