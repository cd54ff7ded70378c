#include "engine/font/OxBitmapFont.h"

namespace Orvex::FontLib {

OxBitmapFont::OxBitmapFont(const std::shared_ptr<OxBitmapFontLoader>& loader) : loader_(loader) { reset(); }

uint32_t OxBitmapFont::load(const std::u16string& fontName) {
    reset();
    if (!loader_) {
        return OxBitmapFontLoader::kErrFailed;
    }
    const uint32_t code = loader_->load(this, fontName);
    if (code == OxBitmapFontLoader::kOk) {
        name = fontName;
    }
    return code;
}

}  // namespace Orvex::FontLib
