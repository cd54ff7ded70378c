#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/OxDefaultMaterialEffect.h"
#include "graphics/OxGSGeometryCommandSet.h"
#include "graphics/OxOCSParser.h"
#include "tools/modelgen/ModelWriter.h"

namespace Orvex::Graphics {
namespace {

using Kind = OxOCSToken::Kind;

OxOCSToken id(const char* s) { return {Kind::Identifier, std::string(s)}; }
OxOCSToken u(uint32_t v) { return {Kind::Unsigned, v}; }
OxOCSToken r(float v) { return {Kind::Real, v}; }
OxOCSToken str(const char* s) { return {Kind::String, std::string(s)}; }
const OxOCSToken kEnd{Kind::EndOfScript, {}};
const OxOCSToken kSemi{Kind::StatementEnd, {}};

TEST(OCSParser, TokenizesOrRefusesTheWholeText) {
    struct Case {
        std::string text;
        bool parses;
        OxOCSTokenList tokens;  // without the end-of-script token
    };
    const std::vector<Case> cases{
        {"", true, {}},
        {"Set(0, 255);", true, {id("Set"), u(0), u(255), kSemi}},
        {"a_1 _b {}", true, {id("a_1"), id("_b"), {Kind::BlockBegin, {}}, {Kind::BlockEnd, {}}}},
        {"1. .5 -2.5 +1.5e2", true, {r(1.0f), r(0.5f), r(-2.5f), r(150.0f)}},
        {"15 4294967295", true, {u(15), u(4294967295u)}},
        {"1e3", true, {u(1), id("e3")}},
        {"true false", true, {id("true"), id("false")}},
        {"\"two\nlines\" \"\"", true, {str("two\nlines"), str("")}},
        {"a // to the end\nb // at the end", true, {id("a"), id("b")}},
        {"/* a * / b */ c /**/", true, {id("c")}},
        {"// only a comment", false, {}},
        {"   \n\t", false, {}},
        {"-1", false, {}},
        {"4294967296", false, {}},
        {"-inf", false, {}},
        {"a /* unterminated", false, {}},
        {"\"unterminated", false, {}},
        {"a @ b", false, {}},
        {"caf\xC3\xA9", false, {}},
    };
    OxOCSParser parser;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(parser.parse(c.text), c.parses ? 0 : static_cast<int32_t>(0x80000008u));
        OxOCSTokenList want = c.tokens;
        if (c.parses) {
            want.push_back(kEnd);
        }
        EXPECT_EQ(parser.getTokens(), want);
    }
}

// Three real effects standing for a geometry's material library.
class Materials : public IOxMaterialEffectSource {
public:
    Materials() {
        for (auto& e : effects_) {
            e = new OxDefaultMaterialEffect(nullptr);
        }
    }
    ~Materials() {
        for (auto* e : effects_) {
            e->release();
        }
    }
    IOrvexDefaultMaterialEffect* getMaterialEffect(uint32_t index) override {
        return index < effects_.size() ? effects_[index] : nullptr;
    }
    std::array<float, 4> ambient(int i) const { return toArray(effects_[i]->getAmbientColor()); }
    std::array<float, 4> diffuse(int i) const { return toArray(effects_[i]->getDiffuseColor()); }
    uint32_t culling(int i) const { return effects_[i]->getCullingType(); }

    void run(const std::string& script) {
        OxOCSParser parser;
        ASSERT_EQ(parser.parse(script), 0) << script;
        OxGSGeometryCommandSet commands(*this);
        runOCSScript(parser.getTokens(), {&commands});
    }

private:
    static std::array<float, 4> toArray(const float (&c)[4]) { return {c[0], c[1], c[2], c[3]}; }
    std::array<OxDefaultMaterialEffect*, 3> effects_{};
};

using Color = std::array<float, 4>;
const Color kWhite{1, 1, 1, 1};

TEST(OCSScript, MaterialCommandsChangeTheNamedEffect) {
    struct Case {
        const char* script;
        int material;
        Color ambient, diffuse;
        uint32_t culling;
    };
    const Case cases[] = {
        {"SetMaterialCullingType(0, 2);", 0, kWhite, kWhite, 2},
        {"SetMaterialCullingType(0, 3);", 0, kWhite, kWhite, 1},
        {"SetMaterialCullingType(2, 0);", 2, kWhite, kWhite, 0},
        {"SetMaterialDiffuseColor(0, 1.0, 1.0, 1.0, 1.0);", 0, kWhite, kWhite, 1},
        {"/* block */ SetMaterialAmbientColor 1 0 0 0 255;", 1, {0, 0, 0, 1}, kWhite, 1},
        {"SetMaterialDiffuseColor(1, 510, 0, 51, 255, 99);", 1, kWhite, {2, 0, 0.2f, 1}, 1},
        {"SetMaterialDiffuseColor(1, 0, 0, 0, 0); SetMaterialDiffuseColor(1, 255, 0, 0, 255);",
         1,
         kWhite,
         {1, 0, 0, 1},
         1},
        {"NoSuchCommand 1 2 3; SetMaterialAmbientColor(2, 0, 255, 0, 255);", 2, {0, 1, 0, 1}, kWhite, 1},
        {"SetMaterialAmbientColor(3, 0, 0, 0, 0); SetMaterialAmbientColor(2, 0, 0, 0);", 2, kWhite, kWhite, 1},
        {"SetMaterialAmbientColor(2, \"0\", 0, 0, 0); setmaterialambientcolor(2, 0, 0, 0, 0);", 2, kWhite, kWhite, 1},
        {"{ SetMaterialCullingType ( 1 , 0 ) ; }", 1, kWhite, kWhite, 0},
        {"SetMaterialCullingType(1, 0)", 1, kWhite, kWhite, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Materials materials;
        materials.run(c.script);
        EXPECT_EQ(materials.ambient(c.material), c.ambient);
        EXPECT_EQ(materials.diffuse(c.material), c.diffuse);
        EXPECT_EQ(materials.culling(c.material), c.culling);
        for (int other = 0; other < 3; ++other) {
            if (other != c.material) {
                EXPECT_EQ(materials.ambient(other), kWhite);
                EXPECT_EQ(materials.diffuse(other), kWhite);
                EXPECT_EQ(materials.culling(other), 1u);
            }
        }
    }
}

TEST(OCSScript, EarlierSetsWinAndAStatementCutOffDoesNotRun) {
    struct Logger : OxGSCommandSet {
        Logger(std::vector<std::string>& log, const char* tag) {
            addCommand("Say", [&log, tag](const Arguments& a) { log.push_back(tag + std::to_string(a.size())); });
            addCommand(tag, [&log, tag](const Arguments&) { log.push_back(tag); });
        }
    };
    std::vector<std::string> log;
    Logger first(log, "A"), second(log, "B");
    OxOCSParser parser;
    ASSERT_EQ(parser.parse("Say 1 x 2.5 \"s\" { };  B; A; Say 1 2"), 0);
    runOCSScript(parser.getTokens(), {&first, &second});
    EXPECT_EQ(log, (std::vector<std::string>{"A3", "B", "A"}));
}

TEST(OCSScript, GeneratedModelScriptsApply) {
    Materials cube;
    cube.run(Tools::ModelGen::cubeScript());
    EXPECT_EQ(cube.ambient(0), (Color{128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 1}));
    EXPECT_EQ(cube.diffuse(1), (Color{0.2f, 0.4f, 0.8f, 1}));
    EXPECT_EQ(cube.culling(1), 0u);
    Materials arm;
    arm.run(Tools::ModelGen::armScript());
    EXPECT_EQ(arm.culling(0), 0u);
    EXPECT_EQ(arm.ambient(0), (Color{0.8f, 178 / 255.0f, 0.2f, 1}));
}

}  // namespace
}  // namespace Orvex::Graphics
