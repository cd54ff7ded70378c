#include "graphics/OxDXObject.h"

#include <cstdio>
#include <new>

#include "engine/io/OxPathUtility.h"
#include "platform/gpux/XMath.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;
using namespace Platform::Gpux;

namespace {

constexpr double kTicksPerSecond = 4800.0;
// Elapsed times come in the caller's unit; the animation advances by this much of a second per unit.
constexpr double kSecondsPerUnit = 0.0125;
// The cross-fade steps by a fixed sixtieth of a second per update, whatever the elapsed time.
constexpr float kFadeStep = 1.0f / 60.0f;

}  // namespace

OxDXObject::OxDXObject() : allocator_(*this) {}

// The controller writes the frames' transforms, so it goes before them; the device, on which the
// meshes were made, goes after them.
OxDXObject::~OxDXObject() {
    controller_.reset();
    if (root_ != nullptr) {
        destroyHierarchy(root_, allocator_);
    }
}

bool OxDXObject::load(GpuDevice* device, const std::u16string& path) {
    if (device == nullptr) {
        return false;
    }
    device_ = OxRefPtr<GpuDevice>::share(device);
    path_ = path;
    XFrame* root = nullptr;
    OxRefPtr<XAnimationController> loaded;
    std::string error;
    const std::string native = IO::toNativePath(path);
    if (native.empty() || !loadMeshHierarchy(native, allocator_, &root, loaded.put(), &error)) {
        std::fprintf(stderr, "%s\n", error.empty() ? (native + ": cannot be read").c_str() : error.c_str());
        return false;
    }
    root_ = static_cast<OxDXFrame*>(root);
    if (loaded != nullptr) {
        controllerLoaded_ = true;
        const uint32_t sets = loaded->getMaxNumAnimationSets();
        const Result r = loaded->cloneAnimationController(loaded->getMaxNumAnimationOutputs(), sets,
                                                          std::max(loaded->getMaxNumTracks(), sets),
                                                          loaded->getMaxNumEvents(), controller_.put());
        loaded.reset();  // the clone is what plays
        if (r < 0) {
            return false;
        }
        animationCount_ = sets;
        for (uint32_t i = 1; i < sets; ++i) {
            OxRefPtr<XAnimationSetObject> set;
            if (controller_->getAnimationSet(i, set.put()) < 0) {
                return false;
            }
            const Result put = controller_->setTrackAnimationSet(i, set.get());
            TrackDesc desc;
            desc.priority = TrackPriority::Low;
            desc.weight = 1;
            desc.speed = 1;
            desc.position = 0;
            desc.enable = false;
            if (put < 0 || controller_->setTrackDesc(i, &desc) < 0) {
                return false;
            }
        }
    }
    linkBones(root_);
    loops_.assign(animationCount_, 1);
    return true;
}

// For the first mesh container of every frame that has a skin: the combined transform of the
// frame of each bone's name, the frame marked as a bone. A bone without a frame ends its
// container's list.
void OxDXObject::linkBones(XFrame* frame) {
    for (; frame != nullptr; frame = frame->sibling) {
        auto* container = static_cast<OxDXMeshContainer*>(frame->meshContainer);
        if (container != nullptr && container->skinInfo != nullptr) {
            container->bonePointers.clear();
            for (uint32_t b = 0; b < container->skinInfo->getNumBones(); ++b) {
                auto* bone = static_cast<OxDXFrame*>(findFrame(root_, container->skinInfo->getBoneName(b)));
                if (bone == nullptr) {
                    break;
                }
                bone->isBone = 1;
                container->bonePointers.push_back(&bone->combined);
            }
        }
        linkBones(frame->firstChild);
    }
}

int32_t OxDXObject::setUpSkinnedMesh(OxDXMeshContainer& container) {
    if (container.skinInfo == nullptr) {
        return 0;
    }
    container.mesh.reset();
    container.reserved.reset();
    const Result r =
        container.sourceMesh->cloneMeshFvf(kMeshManaged, container.sourceMesh->getFvf(), nullptr, container.mesh.put());
    if (r < 0) {
        return r;
    }
    uint32_t count = 0;
    container.mesh->getAttributeTable(nullptr, &count);
    try {
        container.attributeTable.assign(count, AttributeRange{});
        container.mesh->getAttributeTable(container.attributeTable.data(), &count);
        if (boneMatrices_.size() < container.skinInfo->getNumBones()) {
            boneMatrices_.assign(container.skinInfo->getNumBones(), Matrix::identity());
        }
    } catch (const std::bad_alloc&) {
        return kOxErrOutOfMemory;
    }
    return 0;
}

int32_t OxDXObject::skin(OxDXMeshContainer& container) {
    if (container.skinInfo == nullptr || container.sourceMesh == nullptr || container.mesh == nullptr) {
        return kOxErrFail;
    }
    const uint32_t bones = container.skinInfo->getNumBones();
    for (uint32_t b = 0; b < bones && b < boneMatrices_.size(); ++b) {
        const Matrix& offset = container.boneOffsets[b];
        boneMatrices_[b] =
            b < container.bonePointers.size() ? matrixMultiply(offset, *container.bonePointers[b]) : offset;
    }
    void* source = nullptr;
    void* destination = nullptr;
    if (container.sourceMesh->lockVertexBuffer(kLockReadOnly, &source) < 0) {
        return kOxErrFail;
    }
    int32_t result = container.mesh->lockVertexBuffer(0, &destination);
    if (result >= 0) {
        result = container.skinInfo->updateSkinnedMesh(boneMatrices_.data(), nullptr, source, destination);
        container.mesh->unlockVertexBuffer();
    }
    container.sourceMesh->unlockVertexBuffer();
    return result;
}

int32_t OxDXObject::play(uint32_t index, float blendTime, float startTicks) {
    if (controller_ == nullptr || index >= animationCount_) {
        return kOxErrFailed;
    }
    if (int32_t(index) == current_) {
        return controller_->setTrackPosition(index, startTicks / kTicksPerSecond);
    }
    previous_ = current_;
    current_ = int32_t(index);
    for (uint32_t track = 0; track < controller_->getMaxNumTracks(); ++track) {
        controller_->setTrackEnable(track, false);
    }
    fadeLength_ = blendTime;
    fadeLeft_ = blendTime;
    controller_->setTrackEnable(uint32_t(previous_), true);
    controller_->setTrackWeight(uint32_t(previous_), 0);
    controller_->setTrackEnable(index, true);
    controller_->setTrackWeight(index, 0);
    controller_->setTrackPosition(index, 0);
    return kOxOk;
}

float OxDXObject::currentTime() {
    TrackDesc desc;
    if (controller_ == nullptr || current_ < 0 || controller_->getTrackDesc(uint32_t(current_), &desc) < 0) {
        return 0;
    }
    return float(desc.position * kTicksPerSecond);
}

void OxDXObject::setLoop(bool loop) {
    if (current_ >= 0 && size_t(current_) < loops_.size()) {
        loops_[size_t(current_)] = loop ? 1 : 0;
    }
}

bool OxDXObject::isLooping() const {
    return current_ >= 0 && size_t(current_) < loops_.size() && loops_[size_t(current_)] != 0;
}

void OxDXObject::update(float elapsed) {
    OxRefPtr<XAnimationSetObject> set;
    if (controller_ != nullptr && current_ >= 0 &&
        controller_->getTrackAnimationSet(uint32_t(current_), set.put()) >= 0) {
        const double dt = elapsed * kSecondsPerUnit;
        TrackDesc desc;
        const bool described = controller_->getTrackDesc(uint32_t(current_), &desc) >= 0;
        // Playback never stops at the end of the set: the loop flag is kept for callers only.
        if (described) {
            controller_->advanceTime(dt);
        }
        if (!described) {
            return;
        }
    }
    if (device_ != nullptr) {
        device_->setTransform(kTransformWorld, &world_);
    }
    if (root_ != nullptr) {
        combine(root_, matrixMultiply(world_, matrixRotationX(-1.5707963705062866f)));
    }
    if (previous_ >= 0 && controller_ != nullptr) {
        fadeLeft_ -= kFadeStep;
        if (fadeLeft_ <= 0) {
            controller_->setTrackEnable(uint32_t(previous_), false);
            previous_ = -1;
            controller_->setTrackWeight(uint32_t(current_), 1);
        } else {
            const float share = fadeLeft_ / fadeLength_;
            controller_->setTrackWeight(uint32_t(previous_), share);
            controller_->setTrackWeight(uint32_t(current_), 1 - share);
        }
    }
}

// combined = local x parent, depth first; siblings share the parent.
void OxDXObject::combine(OxDXFrame* frame, const Matrix& parent) {
    for (; frame != nullptr; frame = static_cast<OxDXFrame*>(frame->sibling)) {
        frame->combined = matrixMultiply(frame->transform, parent);
        combine(static_cast<OxDXFrame*>(frame->firstChild), frame->combined);
    }
}

}  // namespace Orvex::Graphics
