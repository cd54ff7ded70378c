#pragma once
// Full-screen overlays that run over time and call back when they finish.
#include <cstdint>
#include <functional>
#include <list>

namespace Orvex::Graphics {

class IOrvexRenderer;
class IOrvexSpriteDraw;
struct OxRect;

class OxScreenEffect {
public:
    using Callback = std::function<void()>;

    OxScreenEffect() = default;
    OxScreenEffect(const OxScreenEffect&) = delete;
    OxScreenEffect& operator=(const OxScreenEffect&) = delete;
    // An effect destroyed while active still finishes, so its callbacks run once.
    virtual ~OxScreenEffect();

    virtual void update(IOrvexRenderer* renderer, float elapsedSeconds) = 0;
    virtual void draw(IOrvexRenderer* renderer) = 0;
    virtual bool onStart() { return true; }
    virtual void onFinish() {}

    // False (and nothing changes) once the effect has finished for good.
    bool start();
    // Nothing when not active; otherwise ends the effect and runs every callback in
    // registration order. Callbacks stay registered.
    void finish();
    // Ids start at 1. Owners that may die before the effect remove their callback with the id.
    uint32_t addCallback(const Callback& callback);
    void removeCallback(uint32_t id);

    uint32_t getPriority() const { return priority_; }
    void setPriority(uint32_t priority) { priority_ = priority; }
    bool isActive() const { return active_; }
    bool isFinished() const { return finished_; }
    bool getRemoveWhenFinished() const { return removeWhenFinished_; }
    void setRemoveWhenFinished(bool remove) { removeWhenFinished_ = remove; }

protected:
    // The renderer's sprite drawer, with `screen` set to cover the viewport; null (and `screen`
    // untouched) without a renderer, a sprite drawer, graphics or a readable viewport.
    static IOrvexSpriteDraw* screenSprite(IOrvexRenderer* renderer, OxRect& screen);

private:
    struct Registered {
        Callback callback;
        uint32_t id;
    };
    bool isRegistered(uint32_t id) const;

    uint32_t priority_ = 0;
    bool active_ = false;
    bool removeWhenFinished_ = false;
    bool finished_ = false;
    uint32_t nextCallbackId_ = 0;
    std::list<Registered> callbacks_;
};

}  // namespace Orvex::Graphics
