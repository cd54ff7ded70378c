-- おおきなおにぎり (ID 600).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 8
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "おおきなおにぎり")
    Item.setItemType(item, 8)
    Item.setItemDirectory(item, "Item/Cake/CAK01/")
    Item.setAboutText(item, "満腹度が50回復する。")
    Item.Status.setPrice(item, 100)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Eat.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    -- Rots a little on every floor.
    Item.setChangeFloorScriptFileName(item, "Script/Item/Action/ChangeFloor.lua")
    ItemLook.build(item, g_itemChip)
end
