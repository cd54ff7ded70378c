-- 金貨 (ID 500).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 7
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "金貨")
    Item.setItemType(item, 7)
    Item.setItemDirectory(item, "Item/Money/MNY01/")
    Item.setAboutText(item, "お金。拾うと所持金になる。")
    -- The price is the amount it is worth; stepping on it takes it.
    Item.Status.setPrice(item, 100)
    Item.Status.setUseIfTaken(item, true)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Money.lua")
    ItemLook.build(item, g_itemChip)
end
