#pragma once
// A piece of interaction that lies over the current scene for a while (player control, script
// windows, name entry, events, dialogue). Only the top layer of the manager's stack has the
// focus; a layer leaves the stack by clearing its own keep-alive flag.
namespace Fenwarrow::SceneLayer {

class CSceneLayer {
public:
    CSceneLayer() = default;
    CSceneLayer(const CSceneLayer&) = delete;
    CSceneLayer& operator=(const CSceneLayer&) = delete;
    virtual ~CSceneLayer() = default;

    // Called once when the layer is added; a layer sets `alive` here to stay on the stack.
    virtual bool setup() { return true; }
    virtual void clear() {}
    virtual void update() = 0;
    virtual void draw() {}

    bool isAlive() const { return alive; }
    bool isFocused() const { return focused; }
    void setFocused(bool value) { focused = value; }

protected:
    bool alive = false;
    bool focused = false;
};

}  // namespace Fenwarrow::SceneLayer
