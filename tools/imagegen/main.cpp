// orvex-imagegen: paints the images a recipe file lists and writes them below a folder.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/imagegen/ImagePainter.h"
#include "tools/imagegen/ImageRecipe.h"
#include "tools/imagegen/ImageWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: orvex-imagegen RECIPE OUTPUT_FOLDER [--lower-case]\n"
    "  paints every image RECIPE lists and writes it below OUTPUT_FOLDER\n"
    "  --lower-case   write the files under lower-case paths (archive entry names)\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    bool lowerCase = false;
    if (!args.empty() && args.back() == "--lower-case") {
        lowerCase = true;
        args.pop_back();
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "orvex-imagegen: give a recipe file and an output folder\n%s", kUsage);
        return 2;
    }
    using namespace Orvex::Tools::ImageGen;
    try {
        for (const ImageRecipe& recipe : readRecipeFile(args[0])) {
            std::string path = recipe.path;
            if (lowerCase) {
                std::transform(path.begin(), path.end(), path.begin(),
                               [](unsigned char c) { return char(std::tolower(c)); });
            }
            writeImage(paint(recipe), std::filesystem::path(args[1]) / path);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvex-imagegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
