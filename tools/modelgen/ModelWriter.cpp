#include "tools/modelgen/ModelWriter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <stdexcept>

#include <stb_image_write.h>

namespace Orvex::Tools::ModelGen {
namespace {

constexpr const char* kHeader = "xof 0303txt 0032\n";

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

std::string vec3(double x, double y, double z) { return num(x) + ";" + num(y) + ";" + num(z) + ";"; }

// Joins items with "," and ends the list with ";".
std::string list(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        out += "  " + items[i] + (i + 1 < items.size() ? ",\n" : ";\n");
    }
    return out;
}

std::string matrix(const std::array<double, 16>& m) {
    std::string out;
    for (size_t i = 0; i < m.size(); ++i) {
        out += num(m[i]) + (i + 1 < m.size() ? "," : ";;");
    }
    return out;
}

std::array<double, 16> translation(double x, double y, double z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

std::string material(double r, double g, double b, const std::string& texture) {
    std::string out = "  Material {\n    " + num(r) + ";" + num(g) + ";" + num(b) + ";1.000000;;\n";
    out += "    10.000000;\n    " + vec3(0.3, 0.3, 0.3) + ";\n    " + vec3(0, 0, 0) + ";\n";
    if (!texture.empty()) {
        out += "    TextureFilename { \"" + texture + "\"; }\n";
    }
    return out + "  }\n";
}

void writeFile(const std::filesystem::path& file, const void* data, size_t size) {
    std::ofstream out(file, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    writeFile(file, text.data(), text.size());
}

}  // namespace

std::string cubeModel() {
    // Each face: its normal and two axes spanning it, corners counter-clockwise seen from outside.
    struct Face {
        std::array<int, 3> n, u, v;
    };
    const Face faces[] = {
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    };
    const int corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    std::vector<std::string> positions, normals, uvs, quads, normalQuads;
    for (int f = 0; f < 6; ++f) {
        const Face& face = faces[f];
        for (const auto& c : corner) {
            positions.push_back(vec3(face.n[0] + c[0] * face.u[0] + c[1] * face.v[0],
                                     face.n[1] + c[0] * face.u[1] + c[1] * face.v[1],
                                     face.n[2] + c[0] * face.u[2] + c[1] * face.v[2]));
            uvs.push_back(num((c[0] + 1) / 2) + ";" + num((1 - c[1]) / 2) + ";");
        }
        normals.push_back(vec3(face.n[0], face.n[1], face.n[2]));
        const int b = f * 4;
        // Counter-clockwise seen from outside, as the viewer of a right-handed camera sees a
        // front face; the library's default clockwise culling drops the faces turned away.
        quads.push_back("4;" + std::to_string(b) + "," + std::to_string(b + 1) + "," + std::to_string(b + 2) + "," +
                        std::to_string(b + 3) + ";");
        normalQuads.push_back("4;" + std::to_string(f) + "," + std::to_string(f) + "," + std::to_string(f) + "," +
                              std::to_string(f) + ";");
    }
    std::string out = kHeader;
    out += "Frame Cube {\n FrameTransformMatrix { " + matrix(translation(0, 0, 0)) + " }\n";
    out += " Mesh CubeMesh {\n  24;\n" + list(positions) + "  6;\n" + list(quads);
    out += "  MeshNormals {\n  6;\n" + list(normals) + "  6;\n" + list(normalQuads) + "  }\n";
    out += "  MeshTextureCoords {\n  24;\n" + list(uvs) + "  }\n";
    out += "  MeshMaterialList {\n  2;\n  6;\n" + list({"0", "0", "0", "1", "1", "1"});
    out += material(1.0, 1.0, 1.0, "cube.png") + material(0.2, 0.4, 0.8, "") + "  }\n";
    return out + " }\n}\n";
}

std::string cubeScript() {
    return "// The textured faces keep their texture colours; the plain faces are drawn from both sides.\n"
           "SetMaterialAmbientColor(0, 128, 128, 128, 255);\n"
           "SetMaterialDiffuseColor(1, 51, 102, 204, 255);\n"
           "SetMaterialCullingType(1, 0);\n";
}

std::vector<uint8_t> cubeTexture() {
    constexpr int kSize = 8;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool dark = (x / 2 + y / 2) % 2 != 0;
            const std::array<uint8_t, 4> texel =
                dark ? std::array<uint8_t, 4>{200, 40, 40, 255} : std::array<uint8_t, 4>{240, 230, 200, 255};
            rgba.insert(rgba.end(), texel.begin(), texel.end());
        }
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* ctx, void* bytes, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(ctx);
            out->insert(out->end(), static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + size);
        },
        &png, kSize, kSize, 4, rgba.data(), kSize * 4);
    return png;
}

std::string armModel() {
    // Three rings of four vertices at y 0, 2 and 4; the sides are four quads per segment.
    constexpr double kHalf = 0.5;
    const double ring[4][2] = {{-kHalf, -kHalf}, {kHalf, -kHalf}, {kHalf, kHalf}, {-kHalf, kHalf}};
    std::vector<std::string> positions, quads;
    for (int level = 0; level < 3; ++level) {
        for (const auto& c : ring) {
            positions.push_back(vec3(c[0], level * 2.0, c[1]));
        }
    }
    for (int segment = 0; segment < 2; ++segment) {
        for (int side = 0; side < 4; ++side) {
            const int a = segment * 4 + side, b = segment * 4 + (side + 1) % 4;
            quads.push_back("4;" + std::to_string(a) + "," + std::to_string(a + 4) + "," + std::to_string(b + 4) + "," +
                            std::to_string(b) + ";");
        }
    }
    std::string out = kHeader;
    out += "AnimTicksPerSecond { 4800; }\n";
    // The mesh's frame and the skeleton are two top-level frames, so that the loader hangs them
    // side by side under its root: the frame tree then finds the mesh and the bone tree the bones.
    out += "Frame Arm {\n FrameTransformMatrix { " + matrix(translation(0, 0, 0)) + " }\n";
    out += " Mesh ArmMesh {\n  12;\n" + list(positions) + "  8;\n" + list(quads);
    out += "  MeshMaterialList {\n  1;\n  1;\n  0;\n" + material(0.8, 0.7, 0.2, "") + "  }\n";
    out += "  XSkinMeshHeader { 2; 4; 2; }\n";
    // The lower ring follows Bone1, the upper Bone2, the middle both by half.
    out += "  SkinWeights {\n  \"Bone1\";\n  8;\n" + list({"0", "1", "2", "3", "4", "5", "6", "7"});
    out += list({"1.0", "1.0", "1.0", "1.0", "0.5", "0.5", "0.5", "0.5"});
    out += "  " + matrix(translation(0, 0, 0)) + "\n  }\n";
    out += "  SkinWeights {\n  \"Bone2\";\n  8;\n" + list({"4", "5", "6", "7", "8", "9", "10", "11"});
    out += list({"0.5", "0.5", "0.5", "0.5", "1.0", "1.0", "1.0", "1.0"});
    out += "  " + matrix(translation(0, -2, 0)) + "\n  }\n";
    out += " }\n}\n";
    out += "Frame Bone1 {\n FrameTransformMatrix { " + matrix(translation(0, 0, 0)) + " }\n";
    out += " Frame Bone2 {\n  FrameTransformMatrix { " + matrix(translation(0, 2, 0)) + " }\n }\n}\n";
    // Bone2 turns 0, 45 and 0 degrees about z at 0, 2400 and 4800 ticks (stored w, x, y, z).
    const double half = std::numbers::pi / 8;
    out += "AnimationSet Bend {\n Animation {\n  { Bone2 }\n  AnimationKey {\n  0;\n  3;\n";
    out += list({"0;4;" + num(1) + "," + num(0) + "," + num(0) + "," + num(0) + ";;",
                 "2400;4;" + num(std::cos(half)) + "," + num(0) + "," + num(0) + "," + num(std::sin(half)) + ";;",
                 "4800;4;" + num(1) + "," + num(0) + "," + num(0) + "," + num(0) + ";;"});
    out += "  }\n  AnimationKey {\n  2;\n  1;\n" + list({"0;3;" + num(0) + "," + num(2) + "," + num(0) + ";;"});
    out += "  }\n }\n}\n";
    return out;
}

std::string armScript() {
    return "/* The arm is seen from every side. */\n"
           "SetMaterialCullingType 0 0;\n"
           "SetMaterialAmbientColor(0, 204, 178, 51, 255);\n";
}

void writeModels(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        throw std::runtime_error(folder.string() + ": cannot be made: " + ec.message());
    }
    writeText(folder / "cube.x", cubeModel());
    writeText(folder / "cube.ocs", cubeScript());
    const std::vector<uint8_t> png = cubeTexture();
    writeFile(folder / "cube.png", png.data(), png.size());
    writeText(folder / "arm.x", armModel());
    writeText(folder / "arm.ocs", armScript());
}

}  // namespace Orvex::Tools::ModelGen
