#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Orvex::Tools::FontBaker {

struct BakeOptions {
    std::string name;                  // font name: directory, file and page name stem
    std::filesystem::path outputRoot;  // writes <root>/<name>/<name>.fnt and <name>_<i>.png
    std::string family = "IPAGothic";  // looked up through fontconfig unless fontFile is set
    std::string fontFile;              // a font file to use directly
    uint32_t pixelSize = 30;           // the em size in pixels (the font's fontSize)
    uint32_t lineHeight = 0;           // 0: the face's own line spacing; more is shared above and below
    uint32_t pageSize = 512;           // square pages, a power of two
    std::vector<char32_t> characters;  // every one in the BMP (see buildCharacterSet)
};

struct BakeSummary {
    std::filesystem::path fontFile;
    std::vector<std::filesystem::path> pageFiles;
    size_t glyphCount = 0;
    size_t kerningPairs = 0;
};

constexpr uint32_t kMinPixelSize = 4;
constexpr uint32_t kMaxPixelSize = 256;
constexpr uint32_t kMinPageSize = 64;
constexpr uint32_t kMaxPageSize = 4096;
constexpr uint32_t kGlyphSpacing = 2;

// A font name the engine can find in the archives: 1 to 32 of a-z, 0-9, '_' and '-'.
bool isValidFontName(const std::string& name);

// Renders every character of `options.characters`, packs the glyphs onto pages and writes the
// binary font file and its PNG pages (white, coverage in alpha). Page files of an earlier
// bake with more pages are removed so the directory holds exactly this font. Throws
// BakeError, before writing anything, on bad options, a missing font or a character the
// font lacks (all such characters are listed).
BakeSummary bakeFont(const BakeOptions& options);

}  // namespace Orvex::Tools::FontBaker
