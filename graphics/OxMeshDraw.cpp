#include "graphics/OxMeshDraw.h"

#include <vector>

namespace Orvex::Graphics::MeshDraw {

using namespace Platform::Gpu;

namespace {

// The file's material adjusted by the library material of the same index: colours from its
// effect and the cull mode of its culling type. Without one, ambient becomes the diffuse colour
// and `noLibraryCull` (when non-zero) becomes the cull mode.
void applyMaterial(GpuDevice* device, Material material, const OxMaterialLibrary* library, uint32_t index,
                   uint32_t noLibraryCull) {
    OxMaterial* own = library != nullptr ? library->material(index) : nullptr;
    if (own != nullptr) {
        const float* d = own->getEffect()->getDiffuseColor();
        const float* a = own->getEffect()->getAmbientColor();
        material.diffuse = {d[0], d[1], d[2], d[3]};
        material.ambient = {a[0], a[1], a[2], a[3]};
        static constexpr uint32_t kCull[] = {kCullNone, kCullClockwise, kCullCounterClockwise};
        const uint32_t type = own->getEffect()->getCullingType();
        if (type < 3) {
            device->setRenderState(RenderState::CullMode, kCull[type]);
        }
    } else {
        material.ambient = material.diffuse;
        if (noLibraryCull != 0) {
            device->setRenderState(RenderState::CullMode, noLibraryCull);
        }
    }
    device->setMaterial(&material);
}

GpuTexture* textureOf(const OxDXMeshContainer& c, uint32_t index) {
    return index < c.textures.size() ? c.textures[index].get() : nullptr;
}

}  // namespace

void setGeometryStates(GpuDevice* device) {
    device->setVertexShader(nullptr);
    device->setPixelShader(nullptr);
    device->setRenderState(RenderState::AlphaBlendEnable, 1);
    device->setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    device->setRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    device->setTextureStageState(0, StageState::ColorOp, kOpModulate);
    device->setTextureStageState(0, StageState::ColorArg1, kArgTexture);
    device->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
    device->setTextureStageState(0, StageState::AlphaOp, kOpModulate);
    device->setTextureStageState(0, StageState::AlphaArg1, kArgTexture);
    device->setTextureStageState(0, StageState::AlphaArg2, kArgDiffuse);
}

int32_t drawContainer(GpuDevice* device, OxDXObject& hierarchy, OxDXMeshContainer& c,
                      const OxMaterialLibrary* library) {
    if (c.skinInfo != nullptr) {
        if (hierarchy.skin(c) < 0) {
            return kOxErrFailed;
        }
        for (const Platform::Gpux::AttributeRange& range : c.attributeTable) {
            const uint32_t id = range.attributeId;
            if (id >= c.materials.size()) {
                continue;
            }
            applyMaterial(device, c.materials[id], library, id, library != nullptr ? uint32_t(kCullNone) : 0);
            device->setTexture(0, textureOf(c, id));
            c.mesh->drawSubset(id);
        }
        return kOxOk;
    }
    if (c.mesh == nullptr) {
        return kOxOk;
    }
    for (uint32_t i = 0; i < c.materials.size(); ++i) {
        if (library != nullptr) {
            applyMaterial(device, c.materials[i], library, i, 0);
        } else {
            device->setMaterial(&c.materials[i]);  // a mesh's static container keeps the file's material
        }
        device->setTexture(0, textureOf(c, i));
        c.mesh->drawSubset(i);
    }
    return kOxOk;
}

int32_t drawFrames(GpuDevice* device, OxDXObject& hierarchy, Platform::Gpux::XFrame* frame) {
    // A frame's containers, then its siblings' subtrees, then its child's: along a sibling chain
    // that is every container first, then the children from the last sibling back to the first.
    std::vector<Platform::Gpux::XFrame*> chain;
    for (; frame != nullptr; frame = frame->sibling) {
        for (auto* c = frame->meshContainer; c != nullptr; c = c->next) {
            drawContainer(device, hierarchy, *static_cast<OxDXMeshContainer*>(c), nullptr);
        }
        chain.push_back(frame);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        drawFrames(device, hierarchy, (*it)->firstChild);
    }
    return kOxOk;
}

}  // namespace Orvex::Graphics::MeshDraw
