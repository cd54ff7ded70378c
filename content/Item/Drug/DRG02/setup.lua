-- 霊薬 (ID 630).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 11
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "霊薬")
    Item.setItemType(item, 10)
    Item.setItemDirectory(item, "Item/Drug/DRG02/")
    Item.setAboutText(item, "HPの最大値が5上がる。")
    Item.Status.setPrice(item, 800)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/MaxLife.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
