#pragma once
// Drawing the mesh containers of a loaded hierarchy: with a geometry's library materials (its
// frame tree walk) or with the file's materials alone (a mesh's walk of the hierarchy's frames).
#include "graphics/OxDXObject.h"
#include "graphics/OxMaterialLibrary.h"
#include "platform/gpu/GpuDevice.h"

namespace Orvex::Graphics::MeshDraw {

// The blend and stage states of a geometry draw: alpha blending, texture times diffuse.
void setGeometryStates(Platform::Gpu::GpuDevice* device);
// One container, adjusted by the library's materials (by index) when the library is given.
int32_t drawContainer(Platform::Gpu::GpuDevice* device, OxDXObject& hierarchy, OxDXMeshContainer& container,
                      const OxMaterialLibrary* library);
// Every container of the frames from `frame` on: its containers, its next siblings, its children.
int32_t drawFrames(Platform::Gpu::GpuDevice* device, OxDXObject& hierarchy, Platform::Gpux::XFrame* frame);

}  // namespace Orvex::Graphics::MeshDraw
