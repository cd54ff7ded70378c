#include "engine/font/OxBitmapFontLoader.h"

#include <cstring>

#include "engine/font/OxBitmapFont.h"
#include "engine/system/OxStringConvert.h"

namespace Orvex::FontLib {
namespace {

constexpr uint8_t kMagic[4] = {0x42, 0x4D, 0x46, 0x03};
constexpr uint8_t kInfoBlock = 1;
constexpr uint8_t kCommonBlock = 2;
constexpr uint8_t kPagesBlock = 3;
constexpr uint8_t kCharsBlock = 4;
constexpr uint8_t kKerningBlock = 5;
constexpr std::size_t kInfoFieldsSize = 2;
constexpr std::size_t kCommonFieldsSize = 10;
constexpr std::size_t kCharRecordSize = 20;
constexpr uint32_t kAllChannels = 15;
constexpr uint32_t kInvalidCharId = 0xFFFFFFFFu;

uint16_t u16At(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

int16_t i16At(const std::vector<uint8_t>& b, std::size_t at) { return static_cast<int16_t>(u16At(b, at)); }

uint32_t u32At(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

OxBitmapFontLoader::OxBitmapFontLoader(Graphics::IOrvexRenderer* renderer, const std::shared_ptr<Reader>& reader)
    : renderer_(renderer), reader_(reader) {}

void OxBitmapFontLoader::resetState() {
    font_ = nullptr;
    fontName_.clear();
    fontDirectory_.clear();
    pagePaths_.clear();
    commonSeen_ = false;
}

bool OxBitmapFontLoader::fail(const std::string& what) {
    lastError_ = System::narrow(filePath_) + ": " + what;
    return false;
}

uint32_t OxBitmapFontLoader::load(OxBitmapFont* font, const std::u16string& name) {
    if (font == nullptr) {
        lastError_ = "no font to load into";
        return kErrNullFont;
    }
    resetState();
    lastError_.clear();
    const std::u16string directory = rootDirectory_ + u"\\" + name;
    filePath_ = directory + u"\\" + name + u".fnt";
    if (!reader_ || !reader_->open(filePath_)) {
        fail("cannot be opened");
        return kErrFailed;
    }
    font_ = font;
    fontName_ = name;
    fontDirectory_ = directory;
    if (!parse()) {
        font->reset();
        reader_->close();
        resetState();
        return kErrFailed;
    }
    reader_->close();
    if (!loadPages()) {
        font->reset();
        resetState();
        return kErrFailed;
    }
    return kOk;
}

bool OxBitmapFontLoader::parse() {
    uint8_t magic[4] = {};
    uint32_t got = 0;
    if (!reader_->read(magic, 4, &got) || got != 4 || std::memcmp(magic, kMagic, 4) != 0) {
        return fail("not a bitmap font of version 3");
    }
    const uint32_t fileSize = reader_->getSize();
    for (;;) {
        uint8_t type = 0;
        if (!reader_->read(&type, 1, &got) || got != 1) {
            return true;  // the end of the file
        }
        uint8_t sizeBytes[4] = {};
        if (!reader_->read(sizeBytes, 4, &got) || got != 4) {
            return fail("block header cut off");
        }
        const uint32_t size = static_cast<uint32_t>(sizeBytes[0]) | (static_cast<uint32_t>(sizeBytes[1]) << 8) |
                              (static_cast<uint32_t>(sizeBytes[2]) << 16) | (static_cast<uint32_t>(sizeBytes[3]) << 24);
        if (size == 0) {
            return true;
        }
        if (type < kInfoBlock || type > kKerningBlock) {
            return fail("unknown block type " + std::to_string(type));
        }
        uint32_t position = 0;
        if (!reader_->tell(position) || position > fileSize || size > fileSize - position) {
            return fail("block of type " + std::to_string(type) + " is larger than the rest of the file");
        }
        std::vector<uint8_t> payload;
        if (!reader_->readToVector(payload, size) || payload.size() != size) {
            return fail("block of type " + std::to_string(type) + " cut off");
        }
        if (!parseBlock(type, payload)) {
            return false;
        }
    }
}

bool OxBitmapFontLoader::parseBlock(uint8_t type, const std::vector<uint8_t>& payload) {
    switch (type) {
        case kInfoBlock:
            return parseInfo(payload);
        case kCommonBlock:
            return parseCommon(payload);
        case kPagesBlock:
            return parsePages(payload);
        case kCharsBlock:
            return parseChars(payload);
        default:
            return true;  // kerning pairs are never applied
    }
}

bool OxBitmapFontLoader::parseInfo(const std::vector<uint8_t>& payload) {
    if (payload.size() < kInfoFieldsSize) {
        return fail("info block shorter than " + std::to_string(kInfoFieldsSize) + " bytes");
    }
    // Signed: writers store a negative size to mean "match the character height"; the text
    // layout needs the size itself.
    const int32_t size = i16At(payload, 0);
    font_->fontSize = static_cast<uint32_t>(size < 0 ? -size : size);
    return true;
}

bool OxBitmapFontLoader::parseCommon(const std::vector<uint8_t>& payload) {
    if (payload.size() < kCommonFieldsSize) {
        return fail("common block shorter than " + std::to_string(kCommonFieldsSize) + " bytes");
    }
    font_->lineHeight = u16At(payload, 0);
    font_->base = u16At(payload, 2);
    const uint16_t pageCount = u16At(payload, 8);
    pagePaths_.assign(pageCount, std::u16string());
    font_->resizePages(0);
    font_->resizePages(pageCount);
    commonSeen_ = true;
    return true;
}

bool OxBitmapFontLoader::parsePages(const std::vector<uint8_t>& payload) {
    if (!commonSeen_) {
        return fail("pages block before the common block");
    }
    std::size_t index = 0;
    std::size_t at = 0;
    while (at < payload.size()) {
        const auto* start = payload.data() + at;
        const auto* end = static_cast<const uint8_t*>(std::memchr(start, 0, payload.size() - at));
        if (end == nullptr) {
            return fail("page name " + std::to_string(index) + " has no terminator");
        }
        if (index >= pagePaths_.size()) {
            return fail("pages block names more than the " + std::to_string(pagePaths_.size()) + " pages declared");
        }
        std::u16string wide;
        if (!System::toWideString(std::string(reinterpret_cast<const char*>(start), end - start), wide)) {
            return fail("page name " + std::to_string(index) + " is not valid text");
        }
        pagePaths_[index] = fontDirectory_ + u"\\" + wide;
        ++index;
        at = static_cast<std::size_t>(end - payload.data()) + 1;
    }
    return true;
}

bool OxBitmapFontLoader::parseChars(const std::vector<uint8_t>& payload) {
    if (payload.size() % kCharRecordSize != 0) {
        return fail("chars block cuts a record off");
    }
    for (std::size_t at = 0; at < payload.size(); at += kCharRecordSize) {
        if (payload[at + 19] != kAllChannels) {
            return fail("glyph on channel " + std::to_string(payload[at + 19]));
        }
        const uint32_t id = u32At(payload, at);
        if (id == kInvalidCharId) {
            continue;
        }
        auto glyph = std::make_shared<OxCharDesc>();
        const float x = u16At(payload, at + 4);
        const float y = u16At(payload, at + 6);
        glyph->left = x;
        glyph->top = y;
        glyph->right = x + u16At(payload, at + 8);
        glyph->bottom = y + u16At(payload, at + 10);
        glyph->xoffset = i16At(payload, at + 12);
        glyph->yoffset = i16At(payload, at + 14);
        glyph->xadvance = i16At(payload, at + 16);
        glyph->page = payload[at + 18];
        font_->glyphs.insertOrAssign(id, std::move(glyph));
    }
    return true;
}

bool OxBitmapFontLoader::loadPages() {
    if (pagePaths_.empty()) {
        return true;
    }
    Graphics::IOrvexTextureManager* manager = renderer_ != nullptr ? renderer_->getTextureManager() : nullptr;
    if (manager == nullptr) {
        return fail("no texture manager for the pages");
    }
    for (std::size_t i = 0; i < pagePaths_.size(); ++i) {
        if (!reader_->open(pagePaths_[i])) {
            return fail("page " + System::narrow(pagePaths_[i]) + " cannot be opened");
        }
        Graphics::OxRefPtr<Graphics::IOrvexTexture> texture;
        const int32_t code = manager->createTexture(texture.put(), reader_.get());
        reader_->close();
        if (code < 0 || texture == nullptr) {
            return fail("page " + System::narrow(pagePaths_[i]) + " is not a texture");
        }
        font_->setPage(i, texture.get());
    }
    return true;
}

}  // namespace Orvex::FontLib
