#pragma once
// The developer's script check (scene 20): a sample script that animates objects through the
// MossbellLib, Graphics and InputSystem modules, which here read plain files, not archives.
#include <array>
#include <memory>
#include <vector>

#include <lua.hpp>

#include "engine/animation/OxMADObject.h"
#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/io/OxFileStreamIO.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/developer/DeveloperConsole.h"
#include "game/services/CScriptController.h"
#include "game/services/IScriptServices.h"

namespace Fenwarrow::Scene {

class CScriptTest : public Orvex::SceneController::OxSceneBase, private IScriptServices {
public:
    static constexpr const char16_t* kScript = u"../sample/MossbellLib.lua";
    static constexpr uint32_t kScriptBlockSize = 131072;
    static constexpr std::size_t kSampleObjectCount = 4;

    explicit CScriptTest(ISceneContext& context) : context_(context), script_(*this) {}
    ~CScriptTest() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;
    bool finalize() override;

    Orvex::MossbellLib::OxMADObject& getSampleObject(std::size_t index) { return samples_.at(index); }

private:
    // The script is read through the game's archives; its modules read plain files.
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override;
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override;

    void openInputDevices();
    bool attachModules();
    // "getObj"(i): the i-th sample object, lent to the script; nil outside the table.
    static int getObj(lua_State* L);

    ISceneContext& context_;
    DeveloperConsole console_;
    std::vector<std::shared_ptr<Orvex::InputSystem::IOrvexInputDevice>> devices_;
    Orvex::InputSystem::OxVirtualKey keys_;
    Orvex::IO::StreamIO::OxFileStreamIO files_;
    std::array<Orvex::MossbellLib::OxMADObject, kSampleObjectCount> samples_;
    CScriptController script_;
};

}  // namespace Fenwarrow::Scene
