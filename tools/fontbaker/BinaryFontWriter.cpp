#include "tools/fontbaker/BinaryFontWriter.h"

#include "tools/fontbaker/BakeError.h"

namespace Orvex::Tools::FontBaker {

namespace {

class ByteWriter {
public:
    void u8(uint8_t value) { bytes_.push_back(value); }
    void u16(uint16_t value) {
        u8(static_cast<uint8_t>(value));
        u8(static_cast<uint8_t>(value >> 8));
    }
    void i16(int16_t value) { u16(static_cast<uint16_t>(value)); }
    void u32(uint32_t value) {
        u16(static_cast<uint16_t>(value));
        u16(static_cast<uint16_t>(value >> 16));
    }
    void text(const std::string& value) {
        bytes_.insert(bytes_.end(), value.begin(), value.end());
        u8(0);
    }
    void block(BlockType type, const ByteWriter& payload) {
        u8(static_cast<uint8_t>(type));
        u32(static_cast<uint32_t>(payload.bytes_.size()));
        bytes_.insert(bytes_.end(), payload.bytes_.begin(), payload.bytes_.end());
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> encodeBinaryFont(const FontDescription& font) {
    ByteWriter file;
    for (uint8_t b : {0x42, 0x4D, 0x46, 0x03}) file.u8(b);

    ByteWriter info;
    info.i16(static_cast<int16_t>(font.fontSize));
    info.u8(0x03);                                    // smooth, unicode
    info.u8(0);                                       // character set: unused with unicode
    info.u16(100);                                    // no vertical stretch
    info.u8(1);                                       // no supersampling
    for (int side = 0; side < 4; ++side) info.u8(0);  // padding up, right, down, left
    info.u8(static_cast<uint8_t>(font.spacing));
    info.u8(static_cast<uint8_t>(font.spacing));
    info.u8(0);  // no outline
    std::string face = font.faceName.substr(0, font.faceName.find('\0'));
    info.text(face);
    file.block(BlockType::Info, info);

    ByteWriter common;
    common.u16(font.lineHeight);
    common.u16(font.base);
    common.u16(font.scaleW);
    common.u16(font.scaleH);
    common.u16(static_cast<uint16_t>(font.pageNames.size()));
    common.u8(0);  // not packed
    common.u8(0);  // alpha holds the glyph
    common.u8(4);  // red, green and blue are one
    common.u8(4);
    common.u8(4);
    file.block(BlockType::Common, common);

    ByteWriter pages;
    for (const std::string& name : font.pageNames) {
        if (name.empty() || name.find('\0') != std::string::npos) {
            throw BakeError("page name \"" + name + "\" is empty or holds a zero byte");
        }
        pages.text(name);
    }
    file.block(BlockType::Pages, pages);

    ByteWriter chars;
    for (const CharRecord& c : font.chars) {
        chars.u32(c.id);
        chars.u16(c.x);
        chars.u16(c.y);
        chars.u16(c.width);
        chars.u16(c.height);
        chars.i16(c.xoffset);
        chars.i16(c.yoffset);
        chars.i16(c.xadvance);
        chars.u8(c.page);
        chars.u8(kAllChannels);
    }
    file.block(BlockType::Chars, chars);

    if (!font.kerning.empty()) {
        ByteWriter kerning;
        for (const KerningPair& pair : font.kerning) {
            kerning.u32(pair.first);
            kerning.u32(pair.second);
            kerning.i16(pair.amount);
        }
        file.block(BlockType::Kerning, kerning);
    }
    return std::move(file.bytes());
}

}  // namespace Orvex::Tools::FontBaker
