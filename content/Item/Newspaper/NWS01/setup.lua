-- 号外 (ID 900).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 15
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "号外")
    Item.setItemType(item, 13)
    Item.setItemDirectory(item, "Item/Newspaper/NWS01/")
    Item.setAboutText(item, "読むとこの階の地図がわかる。")
    Item.Status.setPrice(item, 100)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Newspaper.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
