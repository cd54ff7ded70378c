#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::ScriptCommand {
namespace {

struct RenderLayer {
    const char16_t* name;
    uint32_t priority;
};

constexpr RenderLayer kLayers[] = {
    {u"Undermost", 10000000},   {u"BackGround", 9750000},   {u"MapGround", 9500000},  {u"MapBackChip", 9250000},
    {u"MapBackChip2", 9000000}, {u"Floor", 8900000},        {u"Item", 8750000},       {u"BackActor", 8600000},
    {u"Actor", 8500000},        {u"FrontActor", 8400000},   {u"TopActor", 8300000},   {u"Effect", 8250000},
    {u"MapFrontChip", 8000000}, {u"FrontEffect", 7750000},  {u"MapAddChip", 7650000}, {u"PostEffect", 7625000},
    {u"LogWindow", 7600000},    {u"UnderMiniMap", 7525000}, {u"MiniMap", 7500000},    {u"OverMiniMap", 7250000},
    {u"HUD", 7000000},          {u"ADV", 6500000},          {u"GameMenu", 6000000},   {u"ScreenEffect", 5500000},
    {u"Topmost", 2000000},      {u"Debug", 1000000},
};

}  // namespace

uint32_t getRenderPriority(std::u16string_view name) {
    for (const RenderLayer& layer : kLayers) {
        if (name == layer.name) return layer.priority;
    }
    return 0;
}

std::vector<uint32_t> getChipLayerPriorities(const std::vector<std::u16string>& layerNames) {
    std::vector<uint32_t> priorities(layerNames.size(), 0);
    uint32_t lastNamed = 0;
    for (std::size_t i = layerNames.size(); i-- > 0;) {
        const uint32_t own = getRenderPriority(layerNames[i]);
        if (own != 0) {
            lastNamed = own;
        }
        priorities[i] = own != 0 ? own : lastNamed;
    }
    return priorities;
}

const char16_t* getRenderLayerName(uint32_t priority) {
    for (const RenderLayer& layer : kLayers) {
        if (priority == layer.priority) return layer.name;
    }
    return nullptr;
}

}  // namespace Fenwarrow::ScriptCommand
