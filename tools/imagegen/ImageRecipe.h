#pragma once
// A recipe file lists the images to paint, one a line:
//   <path> <width> <height> <painter> [<argument>...]
// '#' starts a comment line; blank lines are skipped. Arguments are decimal numbers or
// colours written as eight hex digits AARRGGBB.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Orvex::Tools::ImageGen {

struct ImageRecipe {
    std::string path;  // relative, '/' separated; its extension picks the file format
    uint32_t width = 0;
    uint32_t height = 0;
    std::string painter;
    std::vector<std::string> arguments;
    std::string origin;  // "file:line", for messages
};

// Throws RecipeError naming the file and line for a malformed line.
std::vector<ImageRecipe> parseRecipes(const std::string& text, const std::string& fileName);
std::vector<ImageRecipe> readRecipeFile(const std::filesystem::path& file);

}  // namespace Orvex::Tools::ImageGen
