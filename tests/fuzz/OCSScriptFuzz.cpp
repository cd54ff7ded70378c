// The command-script parser and the material commands over hostile scripts: a script either
// parses to tokens closed by one end-of-script token and runs, or is refused with no tokens.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "graphics/OxDefaultMaterialEffect.h"
#include "graphics/OxGSGeometryCommandSet.h"
#include "graphics/OxOCSParser.h"

namespace {

class TwoMaterials : public Orvex::Graphics::IOxMaterialEffectSource {
public:
    TwoMaterials()
        : effects_{new Orvex::Graphics::OxDefaultMaterialEffect(nullptr),
                   new Orvex::Graphics::OxDefaultMaterialEffect(nullptr)} {}
    ~TwoMaterials() {
        for (auto* e : effects_) {
            e->release();
        }
    }
    Orvex::Graphics::IOrvexDefaultMaterialEffect* getMaterialEffect(uint32_t index) override {
        return index < 2 ? effects_[index] : nullptr;
    }

private:
    Orvex::Graphics::OxDefaultMaterialEffect* effects_[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using Kind = Orvex::Graphics::OxOCSToken::Kind;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Orvex::Graphics::OxOCSParser parser;
    const auto& tokens = parser.getTokens();
    if (parser.parse(text) != 0) {
        if (!tokens.empty()) {
            std::abort();
        }
        return 0;
    }
    if (tokens.empty() || tokens.back().kind != Kind::EndOfScript) {
        std::abort();
    }
    TwoMaterials materials;
    Orvex::Graphics::OxGSGeometryCommandSet commands(materials);
    Orvex::Graphics::runOCSScript(tokens, {&commands});
    return 0;
}
