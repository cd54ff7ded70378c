#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Orvex::Tools::FontBaker {

// One glyph record of the binary font file.
struct CharRecord {
    uint32_t id = 0;  // UTF-16 code unit
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int16_t xoffset = 0;
    int16_t yoffset = 0;
    int16_t xadvance = 0;
    uint8_t page = 0;
};

struct KerningPair {
    uint32_t first = 0;
    uint32_t second = 0;
    int16_t amount = 0;
};

// Everything the binary font file holds.
struct FontDescription {
    std::string faceName;  // stored NUL-terminated in the info block
    uint16_t fontSize = 0;
    uint16_t lineHeight = 0;
    uint16_t base = 0;
    uint16_t scaleW = 0;
    uint16_t scaleH = 0;
    uint16_t spacing = 0;
    std::vector<std::string> pageNames;
    std::vector<CharRecord> chars;
    std::vector<KerningPair> kerning;
};

// Block type bytes of the binary font file.
enum class BlockType : uint8_t { Info = 1, Common = 2, Pages = 3, Chars = 4, Kerning = 5 };

// Glyphs are white with their coverage in alpha: every record names all four channels.
constexpr uint8_t kAllChannels = 15;

// Encodes the binary font file, version 3: the magic "BMF" 3, then the info, common, pages
// and chars blocks, and a kerning block when there are pairs (an empty block would end the
// file for a reader). Throws BakeError when a page name is empty or holds a zero byte.
std::vector<uint8_t> encodeBinaryFont(const FontDescription& font);

}  // namespace Orvex::Tools::FontBaker
