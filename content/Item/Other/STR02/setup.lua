-- 上り階段 (ID 701).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 13
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "上り階段")
    Item.setItemType(item, 11)
    Item.setItemDirectory(item, "Item/Other/STR02/")
    Item.setAboutText(item, "前の階へ戻る階段。")
    -- Stepping on it asks whether to go back ("もどる").
    Item.Status.setUseIfTaken(item, true)
    Item.Status.setAnotherOption(item, 1)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Stairs.lua")
    ItemLook.build(item, g_itemChip)
end
