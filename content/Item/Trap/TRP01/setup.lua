-- トラバサミ (ID 800).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 14
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "トラバサミ")
    Item.setItemType(item, 12)
    Item.setItemDirectory(item, "Item/Trap/TRP01/")
    Item.setAboutText(item, "踏むと挟まれて5のダメージを受ける。")
    -- Hidden until found; stepping on it springs it.
    Item.setVisible(item, false)
    Item.Status.setUseIfTaken(item, true)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Trap.lua")
    ItemLook.build(item, g_itemChip)
end
