-- A healing potion as the sample data defines it (Item/Drug/DRG01/setup.lua), without its look:
-- the sprite module the look needs does not exist yet.
function initialize(item)
    Item.setName(item, "薬草")
    Item.setItemType(item, 10)
    Item.setItemDirectory(item, "Item/Drug/DRG01/")
    Item.setAboutText(item, "HPが25回復する。")
    Item.Status.setPrice(item, 50)
    Item.setItemActionScriptFileName(item, "Script/Item/Action/Heal.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
end
