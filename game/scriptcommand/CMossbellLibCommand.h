#pragma once
// The "MossbellLib" module: scripts build and play sprite animations (textures cut into chips,
// a timeline of frames over them, named play ranges) on objects of their own or on the sprite
// their host lends them (an item's or an actor's look).
#include <memory>

#include "engine/animation/OxMADObject.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/services/CScriptCommandBase.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Fenwarrow::ScriptCommand {

class CMossbellLibCommand : public CScriptCommandBase<CMossbellLibCommand> {
public:
    using Object = Orvex::MossbellLib::OxMADObject;

    // The renderer draws and makes textures; the reader opens texture files. Both must outlive
    // the module.
    CMossbellLibCommand(Orvex::Graphics::IOrvexRenderer* renderer, Orvex::IO::StreamIO::IOrvexStreamReader& reader)
        : renderer_(renderer), reader_(reader) {}

    bool registerFunctions(CScriptController& controller) override;

    Object* newObject();
    // False when the object is not one this module made.
    bool deleteObject(const Object* object);
    bool ownsObject(const Object* object) const;
    // The texture's index in the object, or -1 when the file does not open or no texture can be
    // made of it.
    int32_t addTexture(Object& object, const std::u16string& path);

    Orvex::Graphics::IOrvexRenderer* getRenderer() const { return renderer_; }

private:
    Orvex::Graphics::IOrvexRenderer* renderer_;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader_;
    Orvex::System::shared_vector_ptr<Object> objects_;
};

}  // namespace Fenwarrow::ScriptCommand
