#include "engine/random/OxMT19937RandomGenerator.h"

#include <sstream>

namespace Orvex::Random {

OxMT19937RandomGenerator::OxMT19937RandomGenerator() { seed(0); }

void OxMT19937RandomGenerator::seed(uint32_t s) {
    std::lock_guard<std::mutex> lock(lock_);
    seed_ = s;
    engine_.seed(s);
}

uint32_t OxMT19937RandomGenerator::getSeed() {
    std::lock_guard<std::mutex> lock(lock_);
    return seed_;
}

uint32_t OxMT19937RandomGenerator::next() {
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<uint32_t>(engine_());
}

std::vector<uint32_t> OxMT19937RandomGenerator::getState() {
    std::lock_guard<std::mutex> lock(lock_);
    std::ostringstream text;
    text << engine_;
    std::vector<uint32_t> state{seed_};
    std::istringstream numbers(text.str());
    unsigned long long value = 0;
    while (numbers >> value) {
        state.push_back(static_cast<uint32_t>(value));
    }
    return state;
}

bool OxMT19937RandomGenerator::setState(const std::vector<uint32_t>& state) {
    // The engine's textual state is its 624 words, with the standard library's position after
    // them where it keeps one; a shorter or longer list is not a state of this generator.
    constexpr std::size_t kWords = std::mt19937::state_size;
    if (state.size() != 1 + kWords && state.size() != 2 + kWords) {
        return false;
    }
    std::ostringstream text;
    for (std::size_t i = 1; i < state.size(); ++i) {
        text << state[i] << ' ';
    }
    std::mt19937 restored;
    std::istringstream in(text.str());
    in >> restored;
    if (in.fail()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    seed_ = state[0];
    engine_ = restored;
    return true;
}

}  // namespace Orvex::Random
