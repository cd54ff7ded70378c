#include "tools/imagegen/ImageRecipe.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "tools/imagegen/RecipeError.h"

namespace Orvex::Tools::ImageGen {

namespace {

constexpr uint32_t kMaxSide = 4096;

uint32_t parseSide(const std::string& text, const std::string& origin, const char* what) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || value == 0 || value > kMaxSide) {
        throw RecipeError(origin + ": " + what + " \"" + text + "\" is not a whole number from 1 to 4096");
    }
    return value;
}

}  // namespace

std::vector<ImageRecipe> parseRecipes(const std::string& text, const std::string& fileName) {
    std::vector<ImageRecipe> recipes;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;) fields.push_back(word);
        if (fields.empty() || fields[0][0] == '#') continue;
        const std::string origin = fileName + ":" + std::to_string(number);
        if (fields.size() < 4) {
            throw RecipeError(origin + ": expected <path> <width> <height> <painter> [arguments]");
        }
        ImageRecipe recipe;
        recipe.path = fields[0];
        recipe.width = parseSide(fields[1], origin, "width");
        recipe.height = parseSide(fields[2], origin, "height");
        recipe.painter = fields[3];
        recipe.arguments.assign(fields.begin() + 4, fields.end());
        recipe.origin = origin;
        if (recipe.path.find("..") != std::string::npos || recipe.path.front() == '/') {
            throw RecipeError(origin + ": path \"" + recipe.path + "\" must stay below the output folder");
        }
        recipes.push_back(std::move(recipe));
    }
    return recipes;
}

std::vector<ImageRecipe> readRecipeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw RecipeError(file.string() + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return parseRecipes(text.str(), file.string());
}

}  // namespace Orvex::Tools::ImageGen
