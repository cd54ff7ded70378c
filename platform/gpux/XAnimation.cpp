#include "platform/gpux/XAnimation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/gpu/GpuTypes.h"

namespace Platform::Gpux {

using namespace Platform::Gpu;

namespace {

template <typename Value>
uint32_t lastTime(const std::vector<XKey<Value>>& keys) {
    return keys.empty() ? 0 : keys.back().time;
}

// The two keys around `ticks` and the fraction between them (keys sorted by time).
template <typename Value, typename Blend>
Value interpolate(const std::vector<XKey<Value>>& keys, double ticks, Blend blend) {
    if (ticks <= keys.front().time) {
        return keys.front().value;
    }
    for (size_t i = 1; i < keys.size(); ++i) {
        if (ticks < keys[i].time) {
            const double span = double(keys[i].time) - keys[i - 1].time;
            const float t = span > 0 ? float((ticks - keys[i - 1].time) / span) : 0.0f;
            return blend(keys[i - 1].value, keys[i].value, t);
        }
    }
    return keys.back().value;
}

Vector3 lerp(const Vector3& a, const Vector3& b, float t) { return vecAdd(a, vecScale(vecSub(b, a), t)); }

struct Pose {
    Vector3 scale{1, 1, 1};
    Quaternion rotation{};
    Vector3 translation{};
};

Matrix compose(const Pose& p) {
    Matrix m = matrixMultiply(matrixScaling(p.scale.x, p.scale.y, p.scale.z), matrixRotationQuaternion(p.rotation));
    m.m[3][0] = p.translation.x;
    m.m[3][1] = p.translation.y;
    m.m[3][2] = p.translation.z;
    return m;
}

// Scale, rotation and translation of an affine matrix without shear.
Pose decompose(const Matrix& m) {
    Pose p;
    Vector3 rows[3];
    for (int r = 0; r < 3; ++r) {
        rows[r] = {m.m[r][0], m.m[r][1], m.m[r][2]};
    }
    p.scale = {vecLength(rows[0]), vecLength(rows[1]), vecLength(rows[2])};
    float r[3][3];
    const float s[3] = {p.scale.x, p.scale.y, p.scale.z};
    for (int i = 0; i < 3; ++i) {
        const Vector3 n = s[i] > 0 ? vecScale(rows[i], 1.0f / s[i]) : rows[i];
        r[i][0] = n.x, r[i][1] = n.y, r[i][2] = n.z;
    }
    // The quaternion of a row-vector rotation matrix (the inverse of matrixRotationQuaternion).
    const float trace = r[0][0] + r[1][1] + r[2][2];
    Quaternion q;
    if (trace > 0) {
        const float k = std::sqrt(trace + 1.0f) * 2;
        q = {(r[1][2] - r[2][1]) / k, (r[2][0] - r[0][2]) / k, (r[0][1] - r[1][0]) / k, k / 4};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const float k = std::sqrt(1.0f + r[0][0] - r[1][1] - r[2][2]) * 2;
        q = {k / 4, (r[0][1] + r[1][0]) / k, (r[2][0] + r[0][2]) / k, (r[1][2] - r[2][1]) / k};
    } else if (r[1][1] > r[2][2]) {
        const float k = std::sqrt(1.0f + r[1][1] - r[0][0] - r[2][2]) * 2;
        q = {(r[0][1] + r[1][0]) / k, k / 4, (r[1][2] + r[2][1]) / k, (r[2][0] - r[0][2]) / k};
    } else {
        const float k = std::sqrt(1.0f + r[2][2] - r[0][0] - r[1][1]) * 2;
        q = {(r[2][0] + r[0][2]) / k, (r[1][2] + r[2][1]) / k, k / 4, (r[0][1] - r[1][0]) / k};
    }
    p.rotation = quatNormalize(q);
    p.translation = {m.m[3][0], m.m[3][1], m.m[3][2]};
    return p;
}

}  // namespace

XAnimationSetObject::XAnimationSetObject(XAnimationSet set, uint32_t ticksPerSecond)
    : set_(std::move(set)), ticksPerSecond_(ticksPerSecond == 0 ? 4800 : ticksPerSecond) {
    uint32_t last = 0;
    for (XAnimation& a : set_.animations) {
        auto byTime = [](const auto& x, const auto& y) { return x.time < y.time; };
        std::stable_sort(a.rotations.begin(), a.rotations.end(), byTime);
        std::stable_sort(a.scales.begin(), a.scales.end(), byTime);
        std::stable_sort(a.positions.begin(), a.positions.end(), byTime);
        std::stable_sort(a.matrices.begin(), a.matrices.end(), byTime);
        last = std::max({last, lastTime(a.rotations), lastTime(a.scales), lastTime(a.positions), lastTime(a.matrices)});
    }
    period_ = double(last) / ticksPerSecond_;
}

Matrix XAnimationSetObject::sample(size_t index, double seconds) const {
    const XAnimation& a = set_.animations[index];
    double local = period_ > 0 ? std::fmod(seconds, period_) : 0.0;
    if (local < 0) {
        local += period_;
    }
    const double ticks = local * ticksPerSecond_;
    if (!a.matrices.empty()) {
        auto at = std::upper_bound(a.matrices.begin(), a.matrices.end(), ticks,
                                   [](double t, const XKey<Matrix>& k) { return t < k.time; });
        return at == a.matrices.begin() ? at->value : std::prev(at)->value;
    }
    Pose p;
    if (!a.scales.empty()) {
        p.scale = interpolate(a.scales, ticks, lerp);
    }
    if (!a.rotations.empty()) {
        p.rotation = interpolate(a.rotations, ticks, quatSlerp);
    }
    if (!a.positions.empty()) {
        p.translation = interpolate(a.positions, ticks, lerp);
    }
    return compose(p);
}

Result XAnimationController::create(std::vector<XAnimationSetObject*> sets, std::vector<AnimationOutput> outputs,
                                    uint32_t maxTracks, XAnimationController** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    auto* c = new (std::nothrow) XAnimationController();
    if (c == nullptr) {
        return kErrOutOfMemory;
    }
    for (XAnimationSetObject* set : sets) {
        set->addRef();
        c->sets_.push_back(set);
    }
    c->outputs_ = std::move(outputs);
    c->tracks_.resize(maxTracks);
    if (!c->tracks_.empty() && !c->sets_.empty()) {
        c->setTrackAnimationSet(0, c->sets_[0]);
        c->tracks_[0].desc.enable = true;
    }
    *out = c;
    return kOk;
}

XAnimationController::~XAnimationController() {
    for (Track& t : tracks_) {
        safeRelease(t.set);
    }
    for (XAnimationSetObject*& set : sets_) {
        safeRelease(set);
    }
}

Result XAnimationController::cloneAnimationController(uint32_t maxOutputs, uint32_t maxSets, uint32_t maxTracks,
                                                      uint32_t, XAnimationController** out) {
    if (out == nullptr || maxOutputs < outputs_.size() || maxSets < sets_.size()) {
        return kErrInvalidCall;
    }
    XAnimationController* c = nullptr;
    const Result r = create(sets_, outputs_, maxTracks, &c);
    if (r < 0) {
        return r;
    }
    for (size_t i = 0; i < c->tracks_.size(); ++i) {
        if (i < tracks_.size()) {
            c->setTrackAnimationSet(uint32_t(i), tracks_[i].set);
            c->tracks_[i].desc = tracks_[i].desc;
        }
    }
    c->time_ = time_;
    *out = c;
    return kOk;
}

Result XAnimationController::getAnimationSet(uint32_t index, XAnimationSetObject** out) {
    if (out == nullptr || index >= sets_.size()) {
        return kErrInvalidCall;
    }
    sets_[index]->addRef();
    *out = sets_[index];
    return kOk;
}

Result XAnimationController::setTrackAnimationSet(uint32_t track, XAnimationSetObject* set) {
    if (track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    if (set != nullptr) {
        set->addRef();
    }
    safeRelease(tracks_[track].set);
    tracks_[track].set = set;
    return kOk;
}

Result XAnimationController::getTrackAnimationSet(uint32_t track, XAnimationSetObject** out) {
    if (out == nullptr || track >= tracks_.size() || tracks_[track].set == nullptr) {
        return kErrInvalidCall;
    }
    tracks_[track].set->addRef();
    *out = tracks_[track].set;
    return kOk;
}

Result XAnimationController::setTrackDesc(uint32_t track, const TrackDesc* desc) {
    if (desc == nullptr || track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    tracks_[track].desc = *desc;
    return kOk;
}

Result XAnimationController::getTrackDesc(uint32_t track, TrackDesc* out) {
    if (out == nullptr || track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    *out = tracks_[track].desc;
    return kOk;
}

Result XAnimationController::setTrackEnable(uint32_t track, bool enable) {
    if (track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    tracks_[track].desc.enable = enable;
    return kOk;
}

Result XAnimationController::setTrackWeight(uint32_t track, float weight) {
    if (track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    tracks_[track].desc.weight = weight;
    return kOk;
}

Result XAnimationController::setTrackSpeed(uint32_t track, float speed) {
    if (track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    tracks_[track].desc.speed = speed;
    return kOk;
}

Result XAnimationController::setTrackPosition(uint32_t track, double seconds) {
    if (track >= tracks_.size()) {
        return kErrInvalidCall;
    }
    tracks_[track].desc.position = seconds;
    return kOk;
}

Result XAnimationController::advanceTime(double seconds) {
    if (!std::isfinite(seconds)) {
        return kErrInvalidCall;
    }
    time_ += seconds;
    for (Track& t : tracks_) {
        if (t.desc.enable) {
            t.desc.position += seconds * t.desc.speed;
        }
    }
    apply();
    return kOk;
}

// Each output animated by an enabled track of non-zero weight gets the weighted mean of those
// tracks' poses; outputs no such track animates keep their transforms.
void XAnimationController::apply() {
    for (const AnimationOutput& output : outputs_) {
        float total = 0;
        Vector3 scale{}, translation{};
        Quaternion rotation{0, 0, 0, 0};
        for (const Track& t : tracks_) {
            if (!t.desc.enable || t.set == nullptr || !(t.desc.weight > 0)) {
                continue;
            }
            const auto& animations = t.set->data().animations;
            for (size_t i = 0; i < animations.size(); ++i) {
                if (animations[i].frameName != output.name) {
                    continue;
                }
                const Pose p = decompose(t.set->sample(i, t.desc.position));
                const float w = t.desc.weight;
                scale = vecAdd(scale, vecScale(p.scale, w));
                translation = vecAdd(translation, vecScale(p.translation, w));
                // Quaternions q and -q are one rotation: add along the same hemisphere.
                const float sign = rotation.x * p.rotation.x + rotation.y * p.rotation.y + rotation.z * p.rotation.z +
                                               rotation.w * p.rotation.w <
                                           0
                                       ? -w
                                       : w;
                rotation = {rotation.x + p.rotation.x * sign, rotation.y + p.rotation.y * sign,
                            rotation.z + p.rotation.z * sign, rotation.w + p.rotation.w * sign};
                total += w;
                break;
            }
        }
        if (total > 0) {
            Pose blended;
            blended.scale = vecScale(scale, 1.0f / total);
            blended.translation = vecScale(translation, 1.0f / total);
            blended.rotation = quatNormalize(rotation);
            *output.transform = compose(blended);
        }
    }
}

bool loadMeshHierarchy(const std::string& path, IXHierarchyAllocator& allocator, XFrame** root,
                       XAnimationController** controller, std::string* error) {
    XLoadResult result;
    if (root == nullptr || controller == nullptr || !loadHierarchyFromFile(path, allocator, &result, error)) {
        return false;
    }
    *root = result.root;
    *controller = nullptr;
    if (result.animationSets.empty()) {
        return true;
    }
    std::vector<XAnimationSetObject*> sets;
    std::vector<AnimationOutput> outputs;
    for (XAnimationSet& set : result.animationSets) {
        for (const XAnimation& a : set.animations) {
            XFrame* frame = findFrame(result.root, a.frameName);
            const bool known = std::any_of(outputs.begin(), outputs.end(),
                                           [&](const AnimationOutput& o) { return o.name == a.frameName; });
            if (frame != nullptr && !known) {
                outputs.push_back({a.frameName, &frame->transform});
            }
        }
        sets.push_back(new XAnimationSetObject(std::move(set), result.ticksPerSecond));
    }
    const Result r = XAnimationController::create(sets, std::move(outputs), 2, controller);
    for (XAnimationSetObject*& set : sets) {
        safeRelease(set);
    }
    if (r < 0) {
        destroyHierarchy(*root, allocator);
        *root = nullptr;
        if (error != nullptr) {
            *error = path + ": out of memory for the animation controller";
        }
        return false;
    }
    return true;
}

}  // namespace Platform::Gpux
