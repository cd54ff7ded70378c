#pragma once
#include <stdexcept>
#include <string>

namespace Orvex::Tools::FontBaker {

// Every refusal of the baker: bad options, bad character lists, missing fonts or glyphs,
// glyphs that do not fit, files that cannot be written. The message names what is wrong.
class BakeError : public std::runtime_error {
public:
    explicit BakeError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace Orvex::Tools::FontBaker
