// The bitmap-font loader over hostile font files. The file is served by a small in-memory reader
// as the archive entry "Font\f\f.fnt"; every page name resolves to a tiny entry so page loading
// runs too (without a renderer it is refused, which the loader must report cleanly).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/font/OxBitmapFont.h"

namespace {

class MemoryReader : public Orvex::IO::StreamIO::IOrvexStreamReader {
public:
    MemoryReader(const uint8_t* data, size_t size) : font_(data, data + size) {}

    bool open(const std::u16string& path) override {
        open_ = true;
        name_ = path;
        current_ = path == u"Font\\f\\f.fnt" ? &font_ : &page_;
        position_ = 0;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::u16string getFileName() const override { return name_; }
    uint32_t getSize() override { return open_ ? uint32_t(current_->size()) : 0; }
    bool readToVector(Orvex::IO::StreamIO::ByteVector& out, uint32_t count, uint32_t* outCount) override {
        const uint32_t left = getSize() - position_;
        const uint32_t n = count == 0 ? left : std::min(count, left);
        out.assign(current_->begin() + position_, current_->begin() + position_ + n);
        position_ += n;
        if (outCount != nullptr) {
            *outCount = n;
        }
        return open_ && (count == 0 || n == count);
    }
    bool read(void* buffer, uint32_t count, uint32_t* outCount) override {
        if (!open_) {
            return false;
        }
        const uint32_t n = std::min(count, getSize() - position_);
        if (n > 0) {  // an empty file has no data pointer to copy from
            std::memcpy(buffer, current_->data() + position_, n);
        }
        position_ += n;
        if (outCount != nullptr) {
            *outCount = n;
        }
        return n > 0;
    }
    bool seek(uint32_t position) override { return position <= getSize() && (position_ = position, true); }
    bool tell(uint32_t& position) override { return position = position_, open_; }
    bool skip(int32_t delta) override { return seek(uint32_t(int64_t(position_) + delta)); }
    bool rewind() override { return seek(0); }
    bool seekToEnd() override { return seek(getSize()); }

private:
    std::vector<uint8_t> font_;
    std::vector<uint8_t> page_{1, 2, 3};
    std::vector<uint8_t>* current_ = &font_;
    std::u16string name_;
    uint32_t position_ = 0;
    bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto reader = std::make_shared<MemoryReader>(data, size);
    auto loader = std::make_shared<Orvex::FontLib::OxBitmapFontLoader>(nullptr, reader);
    loader->setRootDirectory(u"Font");
    Orvex::FontLib::OxBitmapFont font(loader);
    const uint32_t code = font.load(u"f");
    if (code != 0 && (font.fontSize != 0 || font.glyphs.count() != 0 || !font.pages.empty())) {
        __builtin_trap();  // a failed load must leave the font empty
    }
    for (char16_t c = 0; c < 0x80; ++c) {
        if (const Orvex::FontLib::OxCharDesc* glyph = font.findGlyph(c)) {
            (void)font.getPage(glyph->page);
        }
    }
    return 0;
}
