#pragma once
#include <stdexcept>
#include <string>

namespace Orvex::Tools::ImageGen {

// A recipe that cannot be read or painted, or an image that cannot be written.
class RecipeError : public std::runtime_error {
public:
    explicit RecipeError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace Orvex::Tools::ImageGen
