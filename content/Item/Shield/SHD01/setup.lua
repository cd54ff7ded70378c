-- 木の盾 (ID 110).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 1
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "木の盾")
    Item.setItemType(item, 1)
    Item.setItemDirectory(item, "Item/Shield/SHD01/")
    Item.setAboutText(item, "木でできた盾。防御力3。")
    Item.Status.setPrice(item, 250)
    Item.Status.setUnitPrice(item, 40)
    Item.Status.setBaseDefense(item, 3)
    Item.Status.setDefense(item, 3)
    Item.Status.setSlotCount(item, 3)
    Item.setItemAttachScriptFileName(item, "Script/Item/Action/Attach.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
