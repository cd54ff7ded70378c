#pragma once
// Reads a font file in the binary bitmap-font format, version 3, and its page textures from the
// archives into an OxBitmapFont. Path: root, "\", name, "\", name, ".fnt"; pages lie beside it.
//
// Malformed files are refused: a block shorter than the fields read from it, a block larger
// than the rest of the file, a pages block before the common block or naming more pages than
// it declared, a page name without its terminator, a chars block that cuts a record off, or a
// glyph on a channel other than 15. The reason, with the file's path, is kept for the caller.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/io/OxStreamIO.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::FontLib {

class OxBitmapFont;

class OxBitmapFontLoader {
public:
    using Reader = IO::StreamIO::IOrvexStreamReader;

    static constexpr uint32_t kOk = 0;
    static constexpr uint32_t kErrNullFont = 0x80000001u;
    static constexpr uint32_t kErrFailed = 0x80000008u;

    OxBitmapFontLoader(Graphics::IOrvexRenderer* renderer, const std::shared_ptr<Reader>& reader);
    OxBitmapFontLoader(const OxBitmapFontLoader&) = delete;
    OxBitmapFontLoader& operator=(const OxBitmapFontLoader&) = delete;
    virtual ~OxBitmapFontLoader() = default;

    void setRootDirectory(const std::u16string& root) { rootDirectory_ = root; }
    // 0 on success; kErrNullFont for a null font; kErrFailed for everything else, the font reset.
    uint32_t load(OxBitmapFont* font, const std::u16string& name);

    // What went wrong in the last failed load (empty after a success).
    const std::string& getLastError() const { return lastError_; }
    const std::vector<std::u16string>& getPagePaths() const { return pagePaths_; }

private:
    bool parse();
    bool parseBlock(uint8_t type, const std::vector<uint8_t>& payload);
    bool parseInfo(const std::vector<uint8_t>& payload);
    bool parseCommon(const std::vector<uint8_t>& payload);
    bool parsePages(const std::vector<uint8_t>& payload);
    bool parseChars(const std::vector<uint8_t>& payload);
    bool loadPages();
    bool fail(const std::string& what);
    void resetState();

    Graphics::IOrvexRenderer* renderer_;
    std::shared_ptr<Reader> reader_;
    std::u16string rootDirectory_;
    OxBitmapFont* font_ = nullptr;
    std::u16string fontName_;
    std::u16string fontDirectory_;
    std::u16string filePath_;
    std::vector<std::u16string> pagePaths_;
    bool commonSeen_ = false;
    std::string lastError_;
};

}  // namespace Orvex::FontLib
