-- ちからの種 (ID 610).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 9
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "ちからの種")
    Item.setItemType(item, 9)
    Item.setItemDirectory(item, "Item/Power/PWR01/")
    Item.setAboutText(item, "力の最大値と力が1上がる。")
    Item.Status.setPrice(item, 500)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Strength.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
