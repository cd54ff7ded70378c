#include "game/scriptcommand/CGraphicsCommand.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "game/scriptcommand/KnownGameResources.h"
#include "game/services/CScriptController.h"
#include "game/services/RenderLayerNames.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/ScriptUtility.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/IOrvexTextureManager.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Orvex::Graphics::IOrvexSpriteDraw;
using Orvex::Graphics::OxRect;
using ScriptArguments::floatArg;
using ScriptArguments::intArg;
using Texture = CGraphicsCommand::Texture;

// Clears the render target only, not the depth or stencil buffers.
constexpr uint32_t kClearTarget = 1;

CGraphicsCommand& module(lua_State* L) {
    CGraphicsCommand* found = CGraphicsCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Graphics: no module object is attached to this state");
    }
    return *found;
}

// A texture this module made or a common texture the script was handed; null for anything else
// (a number, a foreign pointer, a texture the script kept after the module that made it was
// replaced).
Texture* textureArg(CGraphicsCommand& self, lua_State* L, int index) {
    return self.findScriptTexture(L, lua_touserdata(L, index));
}

IOrvexSpriteDraw* spriteDraw(CGraphicsCommand& self) {
    return self.getRenderer() != nullptr ? self.getRenderer()->getSpriteDraw() : nullptr;
}

OxRect rectArg(lua_State* L, int first) {
    return OxRect{floatArg(L, first), floatArg(L, first + 1), floatArg(L, first + 2), floatArg(L, first + 3)};
}

// A colour written as a number, such as 0xFF204060: its low 32 bits after truncation. What has
// no such bits (NaN, infinities, values beyond 64 bits) reads as 0.
uint32_t colourArg(lua_State* L, int index) {
    const double value = std::trunc(lua_tonumber(L, index));
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) {
        return 0;
    }
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

std::u16string layerArg(lua_State* L, int index) { return ScriptArguments::wideArg(L, index); }

int createTextureFromFile(lua_State* L) {
    CGraphicsCommand& self = module(L);
    bool opened = false;
    Texture* texture = self.createTexture(ScriptArguments::wideArg(L, 1), opened);
    if (!opened) {
        return 0;
    }
    lua_pushlightuserdata(L, texture);
    return 1;
}

int cleanTexture(lua_State* L) {
    CGraphicsCommand& self = module(L);
    auto* textures = self.getRenderer() != nullptr ? self.getRenderer()->getTextureManager() : nullptr;
    if (textures != nullptr) {
        const std::u16string name = ScriptArguments::wideArg(L, 1);
        textures->releaseTexture(&name);
    }
    return 0;
}

int clearRenderTarget(lua_State* L) {
    CGraphicsCommand& self = module(L);
    if (self.getRenderer() != nullptr) {
        self.getRenderer()->clear(kClearTarget, colourArg(L, 1), 1.0f, 0);
    }
    return 0;
}

int setTextureFilter(lua_State* L) {
    CGraphicsCommand& self = module(L);
    const int32_t stage = intArg(L, 1);
    const int32_t filter = intArg(L, 2);
    if (self.getRenderer() != nullptr && stage >= 0 && filter >= 0) {
        self.getRenderer()->setTextureFilter(static_cast<uint32_t>(stage), static_cast<uint32_t>(filter));
    }
    return 0;
}

int addRenderQueue(lua_State* L) {
    CGraphicsCommand& self = module(L);
    const uint32_t priority = getRenderPriority(layerArg(L, 1));
    self.queueGlobalCall(priority, ScriptArguments::textArg(L, 2));
    return 0;
}

int addRenderQueueEx(lua_State* L) {
    CGraphicsCommand& self = module(L);
    if (!lua_isfunction(L, 2)) {
        return 0;  // calling it later would raise an error nothing catches
    }
    lua_State* thread = newCallbackThread(L, 2, lua_gettop(L) >= 3 ? 3 : -1);
    if (thread == nullptr) {
        return 0;
    }
    self.queueCallback(getRenderPriority(layerArg(L, 1)), thread);
    return 0;
}

int luaBeginSprite(lua_State* L) {
    module(L).beginSprite();
    return 0;
}

int luaEndSprite(lua_State* L) {
    module(L).endSprite();
    return 0;
}

int setTextureBlendMode(lua_State* L) {
    if (IOrvexSpriteDraw* sprite = spriteDraw(module(L))) {
        sprite->setTextureBlendMode(static_cast<uint32_t>(intArg(L, 1)));
    }
    return 0;
}

int setDiffuseBlendMode(lua_State* L) {
    if (IOrvexSpriteDraw* sprite = spriteDraw(module(L))) {
        sprite->setDiffuseBlendMode(static_cast<uint32_t>(intArg(L, 1)));
    }
    return 0;
}

int setDiffuseColor(lua_State* L) {
    if (IOrvexSpriteDraw* sprite = spriteDraw(module(L))) {
        sprite->setDiffuseColor(floatArg(L, 1), floatArg(L, 2), floatArg(L, 3), floatArg(L, 4));
    }
    return 0;
}

// texture, destination, source, a whole number the drawer has no use for, then r, g, b, a.
int draw(lua_State* L) {
    CGraphicsCommand& self = module(L);
    IOrvexSpriteDraw* sprite = spriteDraw(self);
    Texture* texture = textureArg(self, L, 1);
    if (sprite == nullptr || texture == nullptr) {
        return 0;
    }
    const OxRect destination = rectArg(L, 2);
    const OxRect source = rectArg(L, 6);
    sprite->setDiffuseColor(floatArg(L, 11), floatArg(L, 12), floatArg(L, 13), floatArg(L, 14));
    sprite->draw(texture, &destination, &source);
    return 0;
}

int drawFill(lua_State* L) {
    if (IOrvexSpriteDraw* sprite = spriteDraw(module(L))) {
        const OxRect destination = rectArg(L, 1);
        const float colour[4] = {floatArg(L, 5), floatArg(L, 6), floatArg(L, 7), floatArg(L, 8)};
        sprite->drawFill(colour, &destination);
    }
    return 0;
}

int drawCenterRotationZ(lua_State* L) {
    CGraphicsCommand& self = module(L);
    IOrvexSpriteDraw* sprite = spriteDraw(self);
    Texture* texture = textureArg(self, L, 1);
    if (sprite != nullptr && texture != nullptr) {
        const OxRect destination = rectArg(L, 2);
        const OxRect source = rectArg(L, 6);
        sprite->drawCenterRotationZ(texture, &destination, &source, floatArg(L, 10));
    }
    return 0;
}

// The drawer's colour with the tenth argument as its alpha.
int drawAlpha(lua_State* L) {
    CGraphicsCommand& self = module(L);
    IOrvexSpriteDraw* sprite = spriteDraw(self);
    Texture* texture = textureArg(self, L, 1);
    if (sprite == nullptr || texture == nullptr) {
        return 0;
    }
    const OxRect destination = rectArg(L, 2);
    const OxRect source = rectArg(L, 6);
    float colour[4] = {};
    sprite->getDiffuseColor(colour);
    sprite->setDiffuseColor(colour[0], colour[1], colour[2], floatArg(L, 10));
    sprite->draw(texture, &destination, &source);
    return 0;
}

// A queued one-shot call. It owns the callback thread's anchor: a call the queue drops without
// running (a skipped or failed frame) still frees its thread, unless the state is gone.
class QueuedCallback {
public:
    QueuedCallback(std::weak_ptr<Orvex::Script::CLuaApi> api, lua_State* state, lua_State* thread)
        : api_(std::move(api)), state_(state), thread_(thread) {}
    ~QueuedCallback() {
        if (thread_ != nullptr && stateLives()) {
            releaseCallbackThread(thread_);
        }
    }
    QueuedCallback(const QueuedCallback&) = delete;
    QueuedCallback& operator=(const QueuedCallback&) = delete;

    void run() {
        lua_State* thread = std::exchange(thread_, nullptr);
        if (thread == nullptr || !stateLives()) {
            return;
        }
        callLuaFunction(thread, pushCallback(thread), 0);
        releaseCallbackThread(thread);
    }

private:
    bool stateLives() const {
        const auto api = api_.lock();
        return api != nullptr && state_ != nullptr && api->getState() == state_;
    }

    std::weak_ptr<Orvex::Script::CLuaApi> api_;
    lua_State* state_;
    lua_State* thread_;
};

}  // namespace

Texture* CGraphicsCommand::createTexture(const std::u16string& path, bool& opened) {
    opened = !path.empty() && reader_.open(path);
    if (!opened) {
        return nullptr;
    }
    auto* textures = renderer_ != nullptr ? renderer_->getTextureManager() : nullptr;
    Orvex::Graphics::OxRefPtr<Texture> texture;
    const bool made = textures != nullptr && textures->createTexture(texture.put(), &reader_) >= 0 && texture;
    // Closed on every way out: an entry left open refuses every later open on this reader.
    reader_.close();
    if (!made) {
        return nullptr;
    }
    textures_.push_back(std::move(texture));
    return textures_.back().get();
}

bool CGraphicsCommand::ownsTexture(const void* texture) const {
    if (texture == nullptr) {
        return false;
    }
    for (const auto& own : textures_) {
        if (own.get() == texture) {
            return true;
        }
    }
    return false;
}

Texture* CGraphicsCommand::findScriptTexture(lua_State* L, const void* given) const {
    if (ownsTexture(given)) {
        return static_cast<Texture*>(const_cast<void*>(given));
    }
    return findCommonTexture(L, game_, given);
}

void CGraphicsCommand::queueGlobalCall(uint32_t priority, std::string name) {
    if (renderQueue_ == nullptr || state_ == nullptr) {
        return;
    }
    renderQueue_->add(priority, [api = api_, state = state_, name = std::move(name)] {
        const auto lives = api.lock();
        if (lives == nullptr || lives->getState() != state) {
            return;
        }
        // The stack is left as found: the queue may run while a native caller uses the state.
        const int top = lua_gettop(state);
        lua_getfield(state, LUA_GLOBALSINDEX, name.c_str());
        if (lua_isfunction(state, -1)) {
            callLuaFunction(state, 0, 0);
        }
        lua_settop(state, top);
    });
}

void CGraphicsCommand::queueCallback(uint32_t priority, lua_State* callbackThread) {
    auto call = std::make_shared<QueuedCallback>(api_, state_, callbackThread);
    if (renderQueue_ == nullptr || state_ == nullptr) {
        return;  // released at once
    }
    renderQueue_->add(priority, [call] { call->run(); });
}

void CGraphicsCommand::beginSprite() {
    IOrvexSpriteDraw* sprite = renderer_ != nullptr ? renderer_->getSpriteDraw() : nullptr;
    if (sprite != nullptr && !spriteBegunByScript_) {
        spriteBegunByScript_ = sprite->begin() >= 0;
    }
}

void CGraphicsCommand::endSprite() {
    IOrvexSpriteDraw* sprite = renderer_ != nullptr ? renderer_->getSpriteDraw() : nullptr;
    if (sprite != nullptr && spriteBegunByScript_) {
        sprite->end();
        spriteBegunByScript_ = false;
    }
}

bool CGraphicsCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    api_ = controller.getLuaApi();
    state_ = L;
    registerScriptTable(L, {"Graphics",
                            {
                                {"createTextureFromFile", &createTextureFromFile},
                                {"cleanTexture", &cleanTexture},
                                {"clearRenderTarget", &clearRenderTarget},
                                {"setTextureFilter", &setTextureFilter},
                                {"addRenderQueue", &addRenderQueue},
                                {"addRenderQueueEx", &addRenderQueueEx},
                            },
                            {
                                {"SpriteDraw",
                                 {
                                     {"beginSprite", &luaBeginSprite},
                                     {"endSprite", &luaEndSprite},
                                     {"setTextureBlendMode", &setTextureBlendMode},
                                     {"setDiffuseBlendMode", &setDiffuseBlendMode},
                                     {"setDiffuseColor", &setDiffuseColor},
                                     {"draw", &draw},
                                     {"drawFill", &drawFill},
                                     {"drawCenterRotationZ", &drawCenterRotationZ},
                                     {"drawAlpha", &drawAlpha},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
