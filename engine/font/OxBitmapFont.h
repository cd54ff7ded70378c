#pragma once
// A font of pre-rendered glyphs on page textures, loaded through a shared loader.
#include <memory>

#include "engine/font/OxBitmapFontLoader.h"
#include "engine/font/OxFont.h"

namespace Orvex::FontLib {

class OxBitmapFont : public OxFont {
public:
    explicit OxBitmapFont(const std::shared_ptr<OxBitmapFontLoader>& loader);

    // Resets, then loads the named font; on success the name is kept and 0 returned, else the
    // loader's code.
    uint32_t load(const std::u16string& name) override;

    const std::shared_ptr<OxBitmapFontLoader>& getLoader() const { return loader_; }

private:
    std::shared_ptr<OxBitmapFontLoader> loader_;
};

}  // namespace Orvex::FontLib
