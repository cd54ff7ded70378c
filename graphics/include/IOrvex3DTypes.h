#pragma once
// Interfaces of the 3-D half, named here for the slots of the graphics object and the renderer.
namespace Orvex::Graphics {
class IOrvexGeometryImporter;
class IOrvexGeometryExporter;
class IOrvexGeometry;
class IOrvexParticles;
class IOrvexStaticMesh;
class IOrvexSkinnedMesh;
class IOrvexCamera;
class IOrvexMesh;
class IOrvexRenderObject;
}  // namespace Orvex::Graphics
