-- 回復薬 (ID 620).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 10
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "回復薬")
    Item.setItemType(item, 10)
    Item.setItemDirectory(item, "Item/Drug/DRG01/")
    Item.setAboutText(item, "HPが25回復する。")
    Item.Status.setPrice(item, 50)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Heal.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
