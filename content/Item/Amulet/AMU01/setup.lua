-- 厄除けの腕輪 (ID 120).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 2
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "厄除けの腕輪")
    Item.setItemType(item, 6)
    Item.setItemDirectory(item, "Item/Amulet/AMU01/")
    Item.setAboutText(item, "レベルを下げられなくなる。ときどきすり減る。")
    Item.Status.setPrice(item, 1000)
    Item.Status.setSlotCount(item, 1)
    -- Ward off (36): a level loss is refused.
    Item.Status.addAbility(item, 36)
    Item.setItemAttachScriptFileName(item, "Script/Item/Action/Attach.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
