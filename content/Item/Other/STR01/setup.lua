-- 下り階段 (ID 700).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 12
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "下り階段")
    Item.setItemType(item, 11)
    Item.setItemDirectory(item, "Item/Other/STR01/")
    Item.setAboutText(item, "次の階へ進む階段。")
    -- Stepping on it asks whether to go on ("すすむ").
    Item.Status.setUseIfTaken(item, true)
    Item.Status.setAnotherOption(item, 2)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Stairs.lua")
    ItemLook.build(item, g_itemChip)
end
