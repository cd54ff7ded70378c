#include "tools/fontbaker/FontLocator.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <strings.h>

#include "tools/fontbaker/BakeError.h"

namespace Orvex::Tools::FontBaker {

namespace {

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};

}  // namespace

std::string locateFontFile(const std::string& family) {
    if (family.empty()) throw BakeError("no font family given");
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    if (!config) throw BakeError("fontconfig could not load its configuration");
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    if (!pattern) throw BakeError("fontconfig: out of memory");
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, PatternDeleter> match(FcFontMatch(config.get(), pattern.get(), &result));
    if (!match) throw BakeError("font family \"" + family + "\" is not installed (fontconfig found no font)");

    std::string offered;
    bool familyMatches = false;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        const char* text = reinterpret_cast<const char*>(name);
        if (strcasecmp(text, family.c_str()) == 0) familyMatches = true;
        if (i == 0) offered = text;
    }
    if (!familyMatches) {
        throw BakeError("font family \"" + family + "\" is not installed (fontconfig offered \"" + offered + "\")");
    }
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        throw BakeError("fontconfig gave no file for font family \"" + family + "\"");
    }
    return reinterpret_cast<const char*>(file);
}

}  // namespace Orvex::Tools::FontBaker
