#pragma once
// Animation sets and the animation controller: tracks that each play one set with a weight, a
// speed and a position, blended into the transforms of the frames the sets animate.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gpu/GpuObject.h"
#include "platform/gpux/XFile.h"

namespace Platform::Gpux {

using Platform::Gpu::Result;

// One animation set of a file: its keys and tick rate. Sets loop over their period.
class XAnimationSetObject : public Platform::Gpu::GpuObject {
public:
    XAnimationSetObject(XAnimationSet set, uint32_t ticksPerSecond);
    virtual const char* getName() const { return set_.name.c_str(); }
    // The length in seconds: the last key's time over the tick rate.
    virtual double getPeriod() const { return period_; }
    const XAnimationSet& data() const { return set_; }
    // The local transform of animation `index` at `seconds` (wrapped into the period): scale, then
    // rotation, then translation, each interpolated between the keys around that time (matrix
    // keys taken from the key at or before it).
    Matrix sample(size_t index, double seconds) const;

protected:
    ~XAnimationSetObject() override = default;

private:
    XAnimationSet set_;
    uint32_t ticksPerSecond_;
    double period_ = 0;
};

enum class TrackPriority : uint32_t { Low = 0, High = 1 };

struct TrackDesc {
    TrackPriority priority = TrackPriority::Low;
    float weight = 1;
    float speed = 1;
    double position = 0;  // seconds
    bool enable = false;
};

// Where the controller writes: a frame's name and its transform.
struct AnimationOutput {
    std::string name;
    Matrix* transform = nullptr;
};

class XAnimationController : public Platform::Gpu::GpuObject {
public:
    // Track 0 plays set 0 (enabled, weight 1, speed 1); the other tracks are empty and disabled.
    static Result create(std::vector<XAnimationSetObject*> sets, std::vector<AnimationOutput> outputs,
                         uint32_t maxTracks, XAnimationController** out);

    virtual uint32_t getMaxNumAnimationOutputs() const { return uint32_t(outputs_.size()); }
    virtual uint32_t getMaxNumAnimationSets() const { return uint32_t(sets_.size()); }
    virtual uint32_t getMaxNumTracks() const { return uint32_t(tracks_.size()); }
    virtual uint32_t getMaxNumEvents() const { return 0; }
    // A copy with the same sets, outputs, time and tracks (as many as fit, new ones empty). The
    // limits may not be below what the controller holds.
    virtual Result cloneAnimationController(uint32_t maxOutputs, uint32_t maxSets, uint32_t maxTracks,
                                            uint32_t maxEvents, XAnimationController** out);
    virtual Result getAnimationSet(uint32_t index, XAnimationSetObject** out);
    virtual Result setTrackAnimationSet(uint32_t track, XAnimationSetObject* set);
    virtual Result getTrackAnimationSet(uint32_t track, XAnimationSetObject** out);
    virtual Result setTrackDesc(uint32_t track, const TrackDesc* desc);
    virtual Result getTrackDesc(uint32_t track, TrackDesc* out);
    virtual Result setTrackEnable(uint32_t track, bool enable);
    virtual Result setTrackWeight(uint32_t track, float weight);
    virtual Result setTrackSpeed(uint32_t track, float speed);
    virtual Result setTrackPosition(uint32_t track, double seconds);
    // Moves the global time and every enabled track's position on by `seconds` (times the
    // track's speed), then writes the blend of the enabled tracks into every frame they animate.
    virtual Result advanceTime(double seconds);
    virtual double getTime() const { return time_; }

protected:
    ~XAnimationController() override;

private:
    struct Track {
        XAnimationSetObject* set = nullptr;  // one reference
        TrackDesc desc;
    };
    XAnimationController() = default;
    void apply();

    std::vector<XAnimationSetObject*> sets_;  // one reference each
    std::vector<AnimationOutput> outputs_;
    std::vector<Track> tracks_;
    double time_ = 0;
};

// Loads a text .x file: the hierarchy through the allocator and, when the file has animation
// sets, a controller over the frames they name (null otherwise). On failure nothing is left
// allocated and the error (naming the file) goes to `error`.
bool loadMeshHierarchy(const std::string& path, IXHierarchyAllocator& allocator, XFrame** root,
                       XAnimationController** controller, std::string* error);

}  // namespace Platform::Gpux
