-- 火炎の札 (ID 300).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 4
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "火炎の札")
    Item.setItemType(item, 3)
    Item.setItemDirectory(item, "Item/Tag/TAG01/")
    Item.setAboutText(item, "前にいる相手に炎で15のダメージを与える。")
    Item.Status.setPrice(item, 200)
    Item.Status.setUnitPrice(item, 20)
    Item.Status.setUseCount(item, 3)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Flame.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
