-- 銅の剣 (ID 100).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 0
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "銅の剣")
    Item.setItemType(item, 2)
    Item.setItemDirectory(item, "Item/Weapon/WPN01/")
    Item.setAboutText(item, "銅でできた剣。攻撃力4。")
    Item.Status.setPrice(item, 300)
    Item.Status.setUnitPrice(item, 50)
    Item.Status.setBaseAttack(item, 4)
    Item.Status.setAttack(item, 4)
    Item.Status.setSlotCount(item, 3)
    -- Slashes hurt beasts (category 1) half as much again.
    local weights = Item.getOriginParam(item)
    DamageCalculate.OriginParam.ActorCategoryParam.setCategory(weights, 1, 1)
    Item.setItemAttachScriptFileName(item, "Script/Item/Action/Attach.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
