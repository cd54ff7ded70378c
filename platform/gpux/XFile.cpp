#include "platform/gpux/XFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <utility>

#include "platform/gpux/XFileSyntax.h"

namespace Platform::Gpux {
namespace {

using XSyntax::Node;

// Reads an object's values in order; every read is checked against what is left, so counts in
// the file can never make the reader run past its data.
class Values {
public:
    Values(const Node& node, std::string* error) : node_(node), error_(error) {}

    bool fail(const std::string& what) {
        *error_ = node_.type + (node_.name.empty() ? "" : " " + node_.name) + ": " + what;
        return false;
    }
    size_t left() const { return node_.values.size() - pos_; }

    bool number(double* out) {
        if (pos_ >= node_.values.size() || !std::holds_alternative<double>(node_.values[pos_])) {
            return fail("expected a number");
        }
        *out = std::get<double>(node_.values[pos_++]);
        return true;
    }
    bool real(float* out) {
        double d = 0;
        if (!number(&d)) {
            return false;
        }
        if (!std::isfinite(d) || std::fabs(d) > 3.0e38) {
            return fail("number out of range");
        }
        *out = static_cast<float>(d);
        return true;
    }
    bool count(uint32_t* out) {
        double d = 0;
        if (!number(&d)) {
            return false;
        }
        if (d < 0 || d > 4294967295.0 || d != std::floor(d)) {
            return fail("expected a whole number");
        }
        *out = static_cast<uint32_t>(d);
        return true;
    }
    // A count of items of `width` values each, which must fit in what is left.
    bool bounded(uint32_t* out, size_t width) {
        if (!count(out)) {
            return false;
        }
        if (static_cast<uint64_t>(*out) * width > left()) {
            return fail("count " + std::to_string(*out) + " exceeds the data");
        }
        return true;
    }
    bool text(std::string* out) {
        if (pos_ >= node_.values.size() || !std::holds_alternative<std::string>(node_.values[pos_])) {
            return fail("expected a string");
        }
        *out = std::get<std::string>(node_.values[pos_++]);
        return true;
    }
    bool vector(Vector3* v) { return real(&v->x) && real(&v->y) && real(&v->z); }
    bool matrix(Matrix* m) {
        for (auto& row : m->m) {
            for (float& f : row) {
                if (!real(&f)) {
                    return false;
                }
            }
        }
        return true;
    }
    bool color(Platform::Gpu::ColorValue* c, bool alpha) {
        c->a = 1.0f;
        return real(&c->r) && real(&c->g) && real(&c->b) && (!alpha || real(&c->a));
    }

private:
    const Node& node_;
    std::string* error_;
    size_t pos_ = 0;
};

uint8_t channel(float f) { return static_cast<uint8_t>(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f)); }

class Builder {
public:
    Builder(IXHierarchyAllocator& allocator, std::string* error) : allocator_(allocator), error_(error) {}

    void addNamedMaterial(const Node& node) {
        if (!node.name.empty()) {
            namedMaterials_[node.name] = &node;
        }
    }

    bool material(const Node& node, XMaterial* out) {
        Values v(node, error_);
        auto& m = out->material;
        if (!v.color(&m.diffuse, true) || !v.real(&m.power) || !v.color(&m.specular, false) ||
            !v.color(&m.emissive, false)) {
            return false;
        }
        m.ambient = {};
        for (const auto& child : node.children) {
            if (child->type == "TextureFilename" || child->type == "TextureFileName") {
                Values t(*child, error_);
                if (!t.text(&out->textureFile)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Polygons of a Mesh or MeshNormals body, as lists of indices below `limit`.
    bool faces(Values& v, uint32_t limit, std::vector<std::vector<uint32_t>>* out) {
        uint32_t n = 0;
        if (!v.bounded(&n, 1)) {
            return false;
        }
        out->resize(n);
        for (auto& face : *out) {
            uint32_t corners = 0;
            if (!v.bounded(&corners, 1)) {
                return false;
            }
            if (corners < 3) {
                return v.fail("a face with fewer than three corners");
            }
            face.resize(corners);
            for (uint32_t& index : face) {
                if (!v.count(&index)) {
                    return false;
                }
                if (index >= limit) {
                    return v.fail("index " + std::to_string(index) + " out of range");
                }
            }
        }
        return true;
    }

    bool mesh(const Node& node, XMeshData* mesh) {
        Values v(node, error_);
        uint32_t nVertices = 0;
        if (!v.bounded(&nVertices, 3)) {
            return false;
        }
        mesh->positions.resize(nVertices);
        for (auto& p : mesh->positions) {
            if (!v.vector(&p)) {
                return false;
            }
        }
        std::vector<std::vector<uint32_t>> polygons;
        if (!faces(v, nVertices, &polygons)) {
            return false;
        }
        std::vector<uint32_t> firstTriangle;  // of each polygon
        for (const auto& face : polygons) {
            firstTriangle.push_back(static_cast<uint32_t>(mesh->triangles.size()));
            for (size_t i = 1; i + 1 < face.size(); ++i) {
                mesh->triangles.push_back({face[0], face[i], face[i + 1]});
            }
        }
        for (const auto& child : node.children) {
            const std::string& type = child->type;
            bool ok = true;
            if (type == "MeshNormals") {
                ok = normals(*child, polygons, mesh);
            } else if (type == "MeshTextureCoords") {
                ok = texCoords(*child, mesh);
            } else if (type == "MeshVertexColors") {
                ok = vertexColors(*child, mesh);
            } else if (type == "MeshMaterialList") {
                ok = materialList(*child, polygons, firstTriangle, mesh);
            } else if (type == "XSkinMeshHeader") {
                Values h(*child, error_);
                uint32_t bones = 0;
                ok =
                    h.count(&mesh->maxSkinWeightsPerVertex) && h.count(&mesh->maxSkinWeightsPerFace) && h.count(&bones);
            } else if (type == "SkinWeights") {
                ok = skinWeights(*child, mesh);
            }
            if (!ok) {
                return false;
            }
        }
        return true;
    }

    bool normals(const Node& node, const std::vector<std::vector<uint32_t>>& polygons, XMeshData* mesh) {
        Values v(node, error_);
        uint32_t n = 0;
        if (!v.bounded(&n, 3)) {
            return false;
        }
        std::vector<Vector3> list(n);
        for (auto& normal : list) {
            if (!v.vector(&normal)) {
                return false;
            }
        }
        std::vector<std::vector<uint32_t>> normalFaces;
        if (!faces(v, n, &normalFaces)) {
            return false;
        }
        if (normalFaces.size() != polygons.size()) {
            return v.fail("normal faces do not match the mesh's faces");
        }
        mesh->normals.assign(mesh->positions.size(), Vector3{});
        for (size_t f = 0; f < polygons.size(); ++f) {
            if (normalFaces[f].size() != polygons[f].size()) {
                return v.fail("a normal face has another corner count than its face");
            }
            for (size_t c = 0; c < polygons[f].size(); ++c) {
                mesh->normals[polygons[f][c]] = list[normalFaces[f][c]];
            }
        }
        return true;
    }

    bool texCoords(const Node& node, XMeshData* mesh) {
        Values v(node, error_);
        uint32_t n = 0;
        if (!v.bounded(&n, 2)) {
            return false;
        }
        if (n != mesh->positions.size()) {
            return v.fail("texture coordinates do not match the vertex count");
        }
        mesh->texCoords.resize(n);
        for (auto& uv : mesh->texCoords) {
            if (!v.real(&uv[0]) || !v.real(&uv[1])) {
                return false;
            }
        }
        return true;
    }

    bool vertexColors(const Node& node, XMeshData* mesh) {
        Values v(node, error_);
        uint32_t n = 0;
        if (!v.bounded(&n, 5)) {
            return false;
        }
        mesh->colors.assign(mesh->positions.size(), 0xFFFFFFFFu);
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t index = 0;
            Platform::Gpu::ColorValue c;
            if (!v.count(&index) || !v.color(&c, true)) {
                return false;
            }
            if (index >= mesh->positions.size()) {
                return v.fail("vertex colour index out of range");
            }
            mesh->colors[index] = uint32_t{channel(c.a)} << 24 | uint32_t{channel(c.r)} << 16 |
                                  uint32_t{channel(c.g)} << 8 | channel(c.b);
        }
        return true;
    }

    bool materialList(const Node& node, const std::vector<std::vector<uint32_t>>& polygons,
                      const std::vector<uint32_t>& firstTriangle, XMeshData* mesh) {
        Values v(node, error_);
        uint32_t nMaterials = 0, nIndices = 0;
        if (!v.count(&nMaterials) || !v.bounded(&nIndices, 1)) {
            return false;
        }
        std::vector<uint32_t> faceMaterial(nIndices);
        for (uint32_t& m : faceMaterial) {
            if (!v.count(&m)) {
                return false;
            }
            if (m >= nMaterials) {
                return v.fail("material index out of range");
            }
        }
        if (faceMaterial.empty() && !polygons.empty()) {
            return v.fail("no face material indices");
        }
        for (const auto& child : node.children) {
            if (child->type == "Material") {
                mesh->materials.emplace_back();
                if (!material(*child, &mesh->materials.back())) {
                    return false;
                }
            }
        }
        for (const std::string& name : node.references) {
            const auto found = namedMaterials_.find(name);
            if (found == namedMaterials_.end()) {
                return v.fail("unknown material \"" + name + "\"");
            }
            mesh->materials.emplace_back();
            if (!material(*found->second, &mesh->materials.back())) {
                return false;
            }
        }
        if (mesh->materials.size() != nMaterials) {
            return v.fail("holds " + std::to_string(mesh->materials.size()) + " materials, not " +
                          std::to_string(nMaterials));
        }
        // A short list repeats its last index for the remaining faces.
        mesh->triangleMaterials.assign(mesh->triangles.size(), 0);
        for (size_t f = 0; f < polygons.size(); ++f) {
            const uint32_t m = faceMaterial[std::min(f, faceMaterial.size() - 1)];
            std::fill_n(mesh->triangleMaterials.begin() + firstTriangle[f], polygons[f].size() - 2, m);
        }
        return true;
    }

    bool skinWeights(const Node& node, XMeshData* mesh) {
        Values v(node, error_);
        XSkinWeights skin;
        uint32_t n = 0;
        if (!v.text(&skin.boneName) || !v.bounded(&n, 2)) {
            return false;
        }
        skin.vertices.resize(n);
        for (uint32_t& index : skin.vertices) {
            if (!v.count(&index)) {
                return false;
            }
            if (index >= mesh->positions.size()) {
                return v.fail("skinned vertex index out of range");
            }
        }
        skin.weights.resize(n);
        for (float& w : skin.weights) {
            if (!v.real(&w)) {
                return false;
            }
        }
        if (!v.matrix(&skin.offset)) {
            return false;
        }
        mesh->skin.push_back(std::move(skin));
        return true;
    }

    bool meshContainer(const Node& node, XFrame* frame) {
        XMeshData data;
        if (!mesh(node, &data)) {
            return false;
        }
        XMeshContainer* container = nullptr;
        if (allocator_.createMeshContainer(node.name, data, &container) < 0 || !container) {
            *error_ = "the allocator refused mesh \"" + node.name + "\"";
            return false;
        }
        // Appended at the end, so containers keep the file's order.
        XMeshContainer** tail = &frame->meshContainer;
        while (*tail) {
            tail = &(*tail)->next;
        }
        *tail = container;
        return true;
    }

    // Builds the frame and links it at once, so a failure deeper down frees it with its parent.
    bool frame(const Node& node, XFrame** slot) {
        XFrame* created = nullptr;
        if (allocator_.createFrame(node.name, &created) < 0 || !created) {
            *error_ = "the allocator refused frame \"" + node.name + "\"";
            return false;
        }
        *slot = created;
        XFrame** childTail = &created->firstChild;
        for (const auto& child : node.children) {
            if (child->type == "FrameTransformMatrix") {
                Values v(*child, error_);
                if (!v.matrix(&created->transform)) {
                    return false;
                }
            } else if (child->type == "Mesh") {
                if (!meshContainer(*child, created)) {
                    return false;
                }
            } else if (child->type == "Frame") {
                if (!frame(*child, childTail)) {
                    return false;
                }
                childTail = &(*childTail)->sibling;
            }
        }
        return true;
    }

    bool animationKey(const Node& node, XAnimation* animation) {
        Values v(node, error_);
        uint32_t type = 0, n = 0;
        if (!v.count(&type) || !v.bounded(&n, 2)) {
            return false;
        }
        static constexpr uint32_t kWidth[] = {4, 3, 3, 0, 16};
        if (type > 4 || kWidth[type] == 0) {
            return v.fail("unknown key type " + std::to_string(type));
        }
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t time = 0, width = 0;
            if (!v.count(&time) || !v.count(&width)) {
                return false;
            }
            if (width != kWidth[type]) {
                return v.fail("a key of type " + std::to_string(type) + " holds " + std::to_string(width) + " values");
            }
            bool ok = true;
            if (type == 0) {
                Quaternion q;
                ok = v.real(&q.w) && v.real(&q.x) && v.real(&q.y) && v.real(&q.z);
                animation->rotations.push_back({time, q});
            } else if (type == 4) {
                Matrix m;
                ok = v.matrix(&m);
                animation->matrices.push_back({time, m});
            } else {
                Vector3 p;
                ok = v.vector(&p);
                (type == 1 ? animation->scales : animation->positions).push_back({time, p});
            }
            if (!ok) {
                return false;
            }
        }
        return true;
    }

    bool animationSet(const Node& node, XAnimationSet* set) {
        set->name = node.name;
        for (const auto& child : node.children) {
            if (child->type != "Animation") {
                continue;
            }
            XAnimation animation;
            for (const std::string& ref : child->references) {
                animation.frameName = ref;
            }
            for (const auto& part : child->children) {
                if (part->type == "Frame" && animation.frameName.empty()) {
                    animation.frameName = part->name;
                } else if (part->type == "AnimationKey" && !animationKey(*part, &animation)) {
                    return false;
                }
            }
            set->animations.push_back(std::move(animation));
        }
        return true;
    }

private:
    IXHierarchyAllocator& allocator_;
    std::string* error_;
    std::map<std::string, const Node*> namedMaterials_;
};

// Releases a partly built hierarchy unless the load hands it over.
struct HierarchyGuard {
    IXHierarchyAllocator& allocator;
    XFrame* root = nullptr;
    ~HierarchyGuard() { destroyHierarchy(root, allocator); }
};

}  // namespace

bool loadHierarchyFromText(std::string_view text, IXHierarchyAllocator& allocator, XLoadResult* result,
                           std::string* error) {
    std::vector<std::unique_ptr<Node>> objects;
    if (!XSyntax::parseDocument(text, &objects, error)) {
        return false;
    }
    Builder builder(allocator, error);
    size_t topFrames = 0, topMeshes = 0;
    for (const auto& object : objects) {
        if (object->type == "Material") {
            builder.addNamedMaterial(*object);
        }
        topFrames += object->type == "Frame";
        topMeshes += object->type == "Mesh";
    }
    if (topFrames == 0 && topMeshes == 0) {
        *error = "the file holds no frame and no mesh";
        return false;
    }
    HierarchyGuard guard{allocator};
    XLoadResult loaded;
    if (topFrames == 1 && topMeshes == 0) {
        for (const auto& object : objects) {
            if (object->type == "Frame" && !builder.frame(*object, &guard.root)) {
                return false;
            }
        }
    } else {
        // Several top-level objects share an unnamed root.
        if (allocator.createFrame("", &guard.root) < 0 || !guard.root) {
            *error = "the allocator refused the root frame";
            return false;
        }
        XFrame** childTail = &guard.root->firstChild;
        for (const auto& object : objects) {
            if (object->type == "Frame") {
                if (!builder.frame(*object, childTail)) {
                    return false;
                }
                childTail = &(*childTail)->sibling;
            } else if (object->type == "Mesh" && !builder.meshContainer(*object, guard.root)) {
                return false;
            }
        }
    }
    for (const auto& object : objects) {
        if (object->type == "AnimTicksPerSecond") {
            Values v(*object, error);
            if (!v.count(&loaded.ticksPerSecond)) {
                return false;
            }
            if (loaded.ticksPerSecond == 0) {
                return v.fail("zero ticks per second");
            }
        } else if (object->type == "AnimationSet") {
            loaded.animationSets.emplace_back();
            if (!builder.animationSet(*object, &loaded.animationSets.back())) {
                return false;
            }
        }
    }
    loaded.root = std::exchange(guard.root, nullptr);
    *result = std::move(loaded);
    return true;
}

bool loadHierarchyFromFile(const std::string& path, IXHierarchyAllocator& allocator, XLoadResult* result,
                           std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot be opened";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        *error = path + ": cannot be read";
        return false;
    }
    if (!loadHierarchyFromText(bytes.str(), allocator, result, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

void destroyHierarchy(XFrame* root, IXHierarchyAllocator& allocator) {
    while (root) {
        destroyHierarchy(root->firstChild, allocator);
        XMeshContainer* container = root->meshContainer;
        while (container) {
            XMeshContainer* next = container->next;
            allocator.destroyMeshContainer(container);
            container = next;
        }
        XFrame* sibling = root->sibling;
        allocator.destroyFrame(root);
        root = sibling;
    }
}

XFrame* findFrame(XFrame* root, std::string_view name) {
    for (XFrame* frame = root; frame; frame = frame->sibling) {
        if (frame->name == name) {
            return frame;
        }
        if (XFrame* found = findFrame(frame->firstChild, name)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace Platform::Gpux
