#pragma once
// Static and skinned meshes: thin holders of a loaded hierarchy that the renderer's drawMesh draws.
#include <cstdint>

#include "graphics/include/IOrvexGeometry.h"

namespace Orvex::Graphics {

class IOrvexBaseMesh : public System::IOrvexRefCountObject {
public:
    virtual IOrvexGraphics* getGraphics() = 0;
    virtual uint32_t getMeshType() = 0;  // 1 static, 2 skinned
    virtual uint32_t reserved5() = 0;

protected:
    virtual ~IOrvexBaseMesh() = default;
};

class IOrvexMesh : public IOrvexBaseMesh {
protected:
    ~IOrvexMesh() override = default;
};

class IOrvexStaticMesh : public IOrvexMesh {
protected:
    ~IOrvexStaticMesh() override = default;
};

class IOrvexSkinnedMesh : public IOrvexMesh {
public:
    virtual IOrvexMotionController* getMotionController() = 0;
    virtual IOrvexSkinController* getSkinController() = 0;
    virtual uint32_t getCountField() = 0;
    virtual void update(float elapsed) = 0;

protected:
    ~IOrvexSkinnedMesh() override = default;
};

}  // namespace Orvex::Graphics
