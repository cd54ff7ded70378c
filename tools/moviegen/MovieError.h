#pragma once
#include <stdexcept>
#include <string>

namespace Orvex::Tools::MovieGen {

// Every refusal of the movie generator: bad options, encoder failures, unwritable output.
class MovieError : public std::runtime_error {
public:
    explicit MovieError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace Orvex::Tools::MovieGen
