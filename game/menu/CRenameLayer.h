#pragma once
// The naming screen of an item: a layer that hosts "Script/UI/Rename.lua", which does all the
// work (its soft keyboard sets the item's temporary name). The script's "update" keeps the
// layer while it returns true.
#include <memory>

#include "game/layer/CSceneLayer.h"

namespace Fenwarrow {
class CScriptController;
}
namespace Fenwarrow::Action {
class IActionContext;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::SceneLayer {

class CRenameLayer : public CSceneLayer {
public:
    static constexpr const char16_t* kScriptPath = u"Script/UI/Rename.lua";
    static constexpr uint32_t kScriptMemory = 0x20000;
    static constexpr uint32_t kDrawPriority = 6500000;

    // The context must outlive the layer; a null target calls the script's "setup" without
    // arguments.
    CRenameLayer(Action::IActionContext& context, Item::CItem* target);
    ~CRenameLayer() override;

    bool setup() override;
    void clear() override;
    void update() override;
    void draw() override;

    const std::shared_ptr<CScriptController>& getScript() const { return script_; }

private:
    Action::IActionContext& context_;
    std::shared_ptr<CScriptController> script_;
    Item::CItem* target_;
};

}  // namespace Fenwarrow::SceneLayer
