#include "graphics/OxDXAllocateHierarchy.h"

#include <cstring>
#include <new>
#include <utility>

#include "engine/io/OxPathUtility.h"
#include "graphics/OxDXFrame.h"
#include "graphics/OxDXMeshContainer.h"
#include "graphics/OxDXObject.h"
#include "platform/gpux/TextureIO.h"
#include "platform/gpux/XMath.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;
using namespace Platform::Gpux;

int32_t OxDXAllocateHierarchy::createFrame(const std::string& name, XFrame** out) {
    auto* frame = new (std::nothrow) OxDXFrame();
    if (frame == nullptr) {
        return kOxErrOutOfMemory;
    }
    frame->name = name;
    *out = frame;
    return 0;
}

int32_t OxDXAllocateHierarchy::createMeshContainer(const std::string& name, const XMeshData& data,
                                                   XMeshContainer** out) {
    auto* container = new (std::nothrow) OxDXMeshContainer();
    if (container == nullptr) {
        return kOxErrOutOfMemory;
    }
    container->name = name;
    const int32_t result = fillMeshContainer(data, *container);
    if (result < 0) {
        destroyMeshContainer(container);
        return result;
    }
    *out = container;
    return 0;
}

int32_t OxDXAllocateHierarchy::fillMeshContainer(const XMeshData& data, OxDXMeshContainer& container) {
    OxRefPtr<XMesh> mesh;
    if (createMeshFromData(hierarchy_.device(), kMeshManaged, data, mesh.put()) < 0) {
        return kOxErrFail;
    }
    auto replace = [&](uint32_t fvf) {
        OxRefPtr<XMesh> clone;
        const Result r = mesh->cloneMeshFvf(mesh->getOptions(), fvf, nullptr, clone.put());
        mesh = std::move(clone);
        return r;
    };
    // Meshes without normals get them computed.
    if ((mesh->getFvf() & kFvfNormal) == 0 &&
        (replace(mesh->getFvf() | kFvfNormal) < 0 || computeNormals(mesh.get()) < 0)) {
        return kOxErrFail;
    }
    const bool hadColors = (mesh->getFvf() & kFvfDiffuse) != 0;
    if (mesh->getFvf() != kOxMeshFvf && replace(kOxMeshFvf) < 0) {
        return kOxErrFail;
    }
    const bool skinned = !data.skin.empty();
    if (skinned) {
        const Result r = XSkinInfo::create(mesh->getNumVertices(), kOxMeshFvf, data.skin, container.skinInfo.put());
        if (r < 0) {
            return r == kErrOutOfMemory ? kOxErrOutOfMemory : kOxErrFail;
        }
    }
    unsigned char* vertices = nullptr;
    mesh->lockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    const Matrix turn = matrixRotationX(-1.5707963705062866f);
    for (uint32_t i = 0; i < mesh->getNumVertices(); ++i) {
        unsigned char* at = vertices + size_t(i) * 36;
        if (!hadColors) {
            const uint32_t white = 0xFFFFFFFFu;
            std::memcpy(at + 24, &white, 4);
        }
        // A static mesh stored with z up is shown with y up; a skinned one is turned at draw time.
        if (!skinned) {
            Vector3 p, n;
            std::memcpy(&p, at, 12);
            std::memcpy(&n, at + 12, 12);
            p = transformCoord(p, turn);
            n = transformNormal(n, turn);
            std::memcpy(at, &p, 12);
            std::memcpy(at + 12, &n, 12);
        }
    }
    mesh->unlockVertexBuffer();

    try {
        const size_t count = std::max<size_t>(data.materials.size(), 1);
        container.materials.resize(count);
        container.textures.assign(count, {});
        container.adjacency.assign(size_t(mesh->getNumFaces()) * 3, 0xFFFFFFFFu);
        if (data.materials.empty()) {
            Material& grey = container.materials[0];
            grey = Material{};
            grey.diffuse = {0.5f, 0.5f, 0.5f, 0};
            grey.specular = {0.5f, 0.5f, 0.5f, 0};
        }
        const std::u16string directory = IO::getParentDirectory(hierarchy_.path());
        for (size_t i = 0; i < data.materials.size(); ++i) {
            container.materials[i] = data.materials[i].material;
            hierarchy_.addMaterial(&container.materials[i]);
            const std::string& file = data.materials[i].textureFile;
            if (!file.empty()) {
                std::u16string name;
                if (System::toWideString(file, name)) {
                    // A texture that does not load leaves its slot empty; drawing then uses white.
                    createTextureFromFile(hierarchy_.device(), directory + u"\\" + name, kPoolManaged,
                                          container.textures[i].put());
                }
            }
        }
        if (skinned) {
            for (uint32_t b = 0; b < container.skinInfo->getNumBones(); ++b) {
                container.boneOffsets.push_back(*container.skinInfo->getBoneOffsetMatrix(b));
            }
            // The mesh as loaded becomes the source; the drawable mesh is cloned from it by the set-up.
            container.sourceMesh = std::move(mesh);
            return hierarchy_.setUpSkinnedMesh(container);
        }
    } catch (const std::bad_alloc&) {
        return kOxErrOutOfMemory;
    }
    container.mesh = std::move(mesh);
    return 0;
}

void OxDXAllocateHierarchy::destroyFrame(XFrame* frame) { delete static_cast<OxDXFrame*>(frame); }

void OxDXAllocateHierarchy::destroyMeshContainer(XMeshContainer* container) {
    delete static_cast<OxDXMeshContainer*>(container);
}

}  // namespace Orvex::Graphics
