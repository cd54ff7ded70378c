#pragma once
// A window context without textures or sounds: windows made with it hold their texts and
// positions and draw nothing.
#include "game/generalwindow/CGeneralWindow.h"

namespace SceneTest {

class QuietWindows : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
};

}  // namespace SceneTest
