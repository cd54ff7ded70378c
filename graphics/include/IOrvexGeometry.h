#pragma once
// Interfaces of loaded models: the geometry and its material library, frame tree, bone tree,
// skin controller and motion controller.
#include <cstdint>
#include <string>

#include "graphics/include/IOrvex3DTypes.h"
#include "graphics/include/IOrvexMaterialEffect.h"
#include "graphics/include/IOrvexRefCountObject.h"

namespace Platform::Gpux {
struct XMeshContainer;
}

namespace Orvex::Graphics {

class IOrvexGraphics;

// What the renderer's drawRenderObject takes.
class IOrvexRenderObject : public System::IOrvexRefCountObject {
protected:
    ~IOrvexRenderObject() = default;
};

class IOrvexMaterial : public System::IOrvexRefCountObject {
public:
    virtual void setName(const std::u16string& name) = 0;
    virtual const std::u16string& getName() const = 0;
    virtual IOrvexDefaultMaterialEffect* getEffect() = 0;   // borrowed
    virtual System::IOrvexRefCountObject* getObject() = 0;  // borrowed, may be null

protected:
    virtual ~IOrvexMaterial() = default;
};

class IOrvexMaterialLibrary : public System::IOrvexRefCountObject {
public:
    virtual uint32_t getMaterialCount() const = 0;
    // Borrowed; null when the index is out of range.
    virtual IOrvexMaterial* getMaterial(uint32_t index) = 0;

protected:
    virtual ~IOrvexMaterialLibrary() = default;
};

class IOrvexFrame : public System::IOrvexRefCountObject {
public:
    virtual IOrvexGeometry* getGeometry() = 0;
    virtual void setName(const std::u16string& name) = 0;
    virtual const std::u16string& getName() const = 0;
    virtual IOrvexFrame* getParent() = 0;
    // Frames made here are owned by their parent (the returned pointer is borrowed).
    virtual IOrvexFrame* addSibling() = 0;
    virtual IOrvexFrame* addChild() = 0;
    virtual IOrvexFrame* getFirstChild() = 0;
    virtual IOrvexFrame* getLastChild() = 0;
    virtual IOrvexFrame* getPreviousSibling() = 0;
    virtual IOrvexFrame* getNextSibling() = 0;
    virtual Platform::Gpux::XMeshContainer* getMeshContainer() = 0;

protected:
    virtual ~IOrvexFrame() = default;
};

class IOrvexBone : public System::IOrvexRefCountObject {
public:
    virtual void setName(const std::u16string& name) = 0;
    virtual const std::u16string& getName() const = 0;
    virtual IOrvexBone* getParent() = 0;
    virtual IOrvexBone* addSibling() = 0;
    virtual IOrvexBone* addChild() = 0;
    // The combined transform in the renderer's 4x3 layout (3x3 part column by column, then the
    // translation); the identity for a bone that stands for no frame.
    virtual void getTransform(float out4x3[12]) const = 0;
    virtual IOrvexBone* getFirstChild() = 0;
    virtual IOrvexBone* getNextSibling() = 0;

protected:
    virtual ~IOrvexBone() = default;
};

class IOrvexSkin : public System::IOrvexRefCountObject {
protected:
    virtual ~IOrvexSkin() = default;
};

class IOrvexSkeleton : public System::IOrvexRefCountObject {
protected:
    virtual ~IOrvexSkeleton() = default;
};

class IOrvexSkinController : public System::IOrvexRefCountObject {
public:
    virtual IOrvexSkin* getSkin() = 0;
    virtual IOrvexSkeleton* getSkeleton() = 0;
    virtual uint32_t getBoneCount() = 0;
    // The index-th bone below the root bone in pre-order, or null.
    virtual IOrvexBone* findBone(uint32_t index) = 0;

protected:
    virtual ~IOrvexSkinController() = default;
};

class IOrvexMotionController : public System::IOrvexRefCountObject {
public:
    virtual int32_t reserved3() = 0;
    virtual uint32_t getAnimationCount() = 0;
    virtual void reserved5() = 0;
    virtual int32_t reserved6() = 0;
    // Plays animation `index`, cross-fading from the current one over `blendTime` seconds; the
    // current one played again jumps to `startTicks`.
    virtual int32_t play(uint32_t index, float blendTime, float startTicks) = 0;
    virtual int32_t reserved8() = 0;
    virtual uint32_t getCurrentAnimation() = 0;
    virtual float getCurrentTime() = 0;  // ticks
    virtual void setLoop(bool loop) = 0;
    virtual bool isLooping() = 0;

protected:
    virtual ~IOrvexMotionController() = default;
};

class IOrvexGeometry : public IOrvexRenderObject {
public:
    virtual IOrvexGraphics* getGraphics() = 0;
    virtual IOrvexMaterialLibrary* getMaterialLibrary() = 0;
    virtual IOrvexMotionController* getMotionController() = 0;
    virtual IOrvexSkinController* getSkinController() = 0;
    virtual IOrvexFrame* getRootFrame() = 0;
    // Advances the animation and recomputes the frames' transforms.
    virtual void update(float elapsed) = 0;

protected:
    virtual ~IOrvexGeometry() = default;
};

}  // namespace Orvex::Graphics
