#include "tools/fontbaker/FontBaker.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "tools/fontbaker/BinaryFontWriter.h"
#include "tools/fontbaker/BakeError.h"
#include "tools/fontbaker/CharacterSet.h"
#include "tools/fontbaker/FontLocator.h"
#include "tools/fontbaker/GlyphRasterizer.h"
#include "tools/fontbaker/PagePacker.h"
#include "tools/fontbaker/PngWriter.h"

namespace Orvex::Tools::FontBaker {

namespace {

constexpr uint32_t kMaxPages = 256;  // the page index is one byte

void checkOptions(const BakeOptions& options) {
    if (!isValidFontName(options.name)) {
        throw BakeError("font name \"" + options.name + "\" is not 1 to 32 of a-z, 0-9, '_' and '-'");
    }
    if (options.outputRoot.empty()) throw BakeError("no output root directory given");
    if (options.pixelSize < kMinPixelSize || options.pixelSize > kMaxPixelSize) {
        throw BakeError("font size " + std::to_string(options.pixelSize) + " is outside " +
                        std::to_string(kMinPixelSize) + ".." + std::to_string(kMaxPixelSize));
    }
    if (options.lineHeight > std::numeric_limits<uint16_t>::max()) {
        throw BakeError("line height " + std::to_string(options.lineHeight) + " is too large");
    }
    const uint32_t page = options.pageSize;
    if (page < kMinPageSize || page > kMaxPageSize || (page & (page - 1)) != 0) {
        throw BakeError("page size " + std::to_string(page) + " is not a power of two in " +
                        std::to_string(kMinPageSize) + ".." + std::to_string(kMaxPageSize));
    }
    if (options.characters.empty()) throw BakeError("the character set is empty");
    for (char32_t c : options.characters) {
        if (c > 0xFFFF) throw BakeError("character " + codePointName(c) + " lies outside the Basic Multilingual Plane");
    }
}

int16_t toInt16(int32_t value, const char* what, char32_t code) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
        throw BakeError(std::string(what) + " of " + codePointName(code) + " does not fit the font file");
    }
    return static_cast<int16_t>(value);
}

std::vector<GlyphBitmap> renderAll(const GlyphRasterizer& face, const std::vector<char32_t>& characters,
                                   const std::string& fontFile) {
    std::string missing;
    size_t missingCount = 0;
    for (char32_t c : characters) {
        if (!face.hasGlyph(c)) {
            if (missingCount < 20) missing += (missing.empty() ? "" : " ") + codePointName(c);
            ++missingCount;
        }
    }
    if (missingCount > 0) {
        throw BakeError(fontFile + ": the font has no glyph for " + std::to_string(missingCount) +
                        " character(s): " + missing + (missingCount > 20 ? " ..." : ""));
    }
    std::vector<GlyphBitmap> glyphs;
    glyphs.reserve(characters.size());
    for (char32_t c : characters) glyphs.push_back(face.render(c));
    return glyphs;
}

std::vector<KerningPair> collectKerning(const GlyphRasterizer& face, const std::vector<char32_t>& characters) {
    std::vector<KerningPair> pairs;
    if (!face.hasKerning()) return pairs;
    for (char32_t left : characters) {
        for (char32_t right : characters) {
            const int32_t amount = face.kerning(left, right);
            if (amount != 0) pairs.push_back(KerningPair{left, right, toInt16(amount, "kerning", left)});
        }
    }
    return pairs;
}

std::string pageName(const std::string& font, uint32_t index) { return font + "_" + std::to_string(index) + ".png"; }

// Removes "<name>_<k>.png" for k >= pageCount left by an earlier, larger bake.
void removeStalePages(const std::filesystem::path& directory, const std::string& name, uint32_t pageCount) {
    for (uint32_t k = pageCount; k < kMaxPages; ++k) {
        std::error_code ignored;
        if (!std::filesystem::remove(directory / pageName(name, k), ignored)) break;
    }
}

}  // namespace

bool isValidFontName(const std::string& name) {
    if (name.empty() || name.size() > 32) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'; });
}

BakeSummary bakeFont(const BakeOptions& options) {
    checkOptions(options);
    const std::string fontFile = options.fontFile.empty() ? locateFontFile(options.family) : options.fontFile;
    GlyphRasterizer face(fontFile, options.pixelSize);
    std::vector<char32_t> characters = options.characters;
    std::sort(characters.begin(), characters.end());
    characters.erase(std::unique(characters.begin(), characters.end()), characters.end());
    const std::vector<GlyphBitmap> glyphs = renderAll(face, characters, fontFile);

    std::vector<std::pair<uint32_t, uint32_t>> sizes;
    sizes.reserve(glyphs.size());
    for (const GlyphBitmap& g : glyphs) sizes.emplace_back(g.width, g.height);
    uint32_t pageCount = 0;
    const std::vector<PackedRect> places = packRectangles(sizes, options.pageSize, kGlyphSpacing, kMaxPages, pageCount);

    const uint32_t side = options.pageSize;
    std::vector<std::vector<uint8_t>> pages(pageCount);
    for (auto& page : pages) {
        // White everywhere so that filtering at glyph edges never darkens the colour.
        page.assign(static_cast<size_t>(side) * side * 4, 255);
        for (size_t i = 3; i < page.size(); i += 4) page[i] = 0;
    }

    FontDescription font;
    font.faceName = face.familyName();
    font.fontSize = static_cast<uint16_t>(options.pixelSize);
    const int32_t faceLine = std::max(face.lineHeight(), 1);
    const int32_t lineHeight = options.lineHeight != 0 ? static_cast<int32_t>(options.lineHeight) : faceLine;
    // A line taller than the face's own shares the extra space above and below its glyphs, so
    // text stands in the middle of its line rather than against the line above.
    const int32_t base = std::max(face.ascender(), 0) + std::max(lineHeight - faceLine, 0) / 2;
    font.lineHeight = static_cast<uint16_t>(std::min<int32_t>(lineHeight, std::numeric_limits<uint16_t>::max()));
    font.base = static_cast<uint16_t>(std::min<int32_t>(base, std::numeric_limits<uint16_t>::max()));
    font.scaleW = static_cast<uint16_t>(side);
    font.scaleH = static_cast<uint16_t>(side);
    font.spacing = static_cast<uint16_t>(kGlyphSpacing);
    for (uint32_t p = 0; p < pageCount; ++p) font.pageNames.push_back(pageName(options.name, p));

    for (size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphBitmap& g = glyphs[i];
        const PackedRect& at = places[i];
        CharRecord record;
        record.id = g.code;
        record.x = static_cast<uint16_t>(at.x);
        record.y = static_cast<uint16_t>(at.y);
        record.width = static_cast<uint16_t>(g.width);
        record.height = static_cast<uint16_t>(g.height);
        record.xoffset = toInt16(g.left, "x offset", g.code);
        record.yoffset = toInt16(base - g.top, "y offset", g.code);
        record.xadvance = toInt16(g.advance, "advance", g.code);
        record.page = static_cast<uint8_t>(at.page);
        font.chars.push_back(record);

        std::vector<uint8_t>& page = pages[at.page];
        for (uint32_t y = 0; y < g.height; ++y) {
            for (uint32_t x = 0; x < g.width; ++x) {
                const size_t texel = (static_cast<size_t>(at.y + y) * side + at.x + x) * 4;
                page[texel + 3] = g.coverage[static_cast<size_t>(y) * g.width + x];
            }
        }
    }
    font.kerning = collectKerning(face, characters);

    std::vector<std::vector<uint8_t>> pngs;
    for (const auto& page : pages) pngs.push_back(encodePngRgba(page, side, side));
    const std::vector<uint8_t> fnt = encodeBinaryFont(font);

    const std::filesystem::path directory = options.outputRoot / options.name;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) throw BakeError(directory.string() + ": cannot create the directory (" + error.message() + ")");

    BakeSummary summary;
    summary.fontFile = directory / (options.name + ".fnt");
    writeFileBytes(summary.fontFile, fnt);
    for (uint32_t p = 0; p < pageCount; ++p) {
        summary.pageFiles.push_back(directory / font.pageNames[p]);
        writeFileBytes(summary.pageFiles.back(), pngs[p]);
    }
    removeStalePages(directory, options.name, pageCount);
    summary.glyphCount = font.chars.size();
    summary.kerningPairs = font.kerning.size();
    return summary;
}

}  // namespace Orvex::Tools::FontBaker
