#pragma once
// The "Graphics" module: scripts that draw for themselves load textures, queue their own draw
// functions into the frame's render queue by layer name, and draw through the renderer's sprite
// drawer.
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/io/OxStreamIO.h"
#include "engine/script/CLuaApi.h"
#include "game/services/CScriptCommandBase.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::ScriptCommand {

class CGraphicsCommand : public CScriptCommandBase<CGraphicsCommand> {
public:
    using Texture = Orvex::Graphics::IOrvexTexture;

    // The renderer draws and makes textures, the reader opens texture files and the queue takes
    // the scripts' draw functions. Scripts may also draw the common textures that the Game module
    // hands them, which `game` (may be null) names. All of them must outlive the module.
    CGraphicsCommand(Orvex::Graphics::IOrvexRenderer* renderer, Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                     Orvex::Graphics::OxRenderQueue* renderQueue, IGameContext* game = nullptr)
        : renderer_(renderer), reader_(reader), renderQueue_(renderQueue), game_(game) {}

    bool registerFunctions(CScriptController& controller) override;

    // Reads the file into a texture the module keeps until it dies. `opened` tells whether the
    // file opened; the result is null when it did not or no texture could be made of it.
    Texture* createTexture(const std::u16string& path, bool& opened);
    bool ownsTexture(const void* texture) const;
    // What a script's argument names: one of the module's textures or, while it is lent to L, a
    // common texture of the game; null for anything else.
    Texture* findScriptTexture(lua_State* L, const void* given) const;
    std::size_t getTextureCount() const { return textures_.size(); }

    // Queue a call of the script's global function, or of a function with its bound argument,
    // for when the frame's render queue runs. Nothing is called once the script state is closed.
    void queueGlobalCall(uint32_t priority, std::string name);
    void queueCallback(uint32_t priority, lua_State* callbackThread);

    // The sprite drawer's begin and end as scripts use them. Inside a render-queue callback the
    // frame has begun the drawer already: the script's begin then fails, and its end must not
    // end the frame's drawing, so an end only follows a begin of the script's own.
    void beginSprite();
    void endSprite();

    Orvex::Graphics::IOrvexRenderer* getRenderer() const { return renderer_; }

private:
    Orvex::Graphics::IOrvexRenderer* renderer_;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader_;
    Orvex::Graphics::OxRenderQueue* renderQueue_;
    IGameContext* game_;
    std::vector<Orvex::Graphics::OxRefPtr<Texture>> textures_;
    // The state the module was registered in; queued calls check that it still lives.
    std::weak_ptr<Orvex::Script::CLuaApi> api_;
    lua_State* state_ = nullptr;
    bool spriteBegunByScript_ = false;
};

}  // namespace Fenwarrow::ScriptCommand
