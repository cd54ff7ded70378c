-- 保存の壺 (ID 400).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 6
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "保存の壺")
    Item.setItemType(item, 5)
    Item.setItemDirectory(item, "Item/Hollow/HOL01/")
    Item.setAboutText(item, "アイテムを入れておける壺。")
    Item.Status.setPrice(item, 400)
    Item.Status.setUnitPrice(item, 10)
    Item.Status.setUseCount(item, 4)
    Item.Status.setItemHolder(item, true)
    Item.Status.setPoppable(item, true)
    Item.setItemPushScriptFileName(item, "Script/Item/Action/Push.lua")
    Item.setItemPopScriptFileName(item, "Script/Item/Action/Pop.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
