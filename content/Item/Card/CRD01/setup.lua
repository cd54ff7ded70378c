-- 幸せのカード (ID 310).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 5
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "幸せのカード")
    Item.setItemType(item, 4)
    Item.setItemDirectory(item, "Item/Card/CRD01/")
    Item.setAboutText(item, "読むとレベルが1上がる。")
    Item.Status.setPrice(item, 500)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/LevelUp.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
