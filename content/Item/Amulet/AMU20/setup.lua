-- すり減った腕輪 (ID 20).
Lua.dofile("Script/Lib/ItemLook.lua")
g_itemChip = 3
g_animationFileName = ItemLook.sheet

function initialize(item)
    Item.setName(item, "すり減った腕輪")
    Item.setItemType(item, 6)
    Item.setItemDirectory(item, "Item/Amulet/AMU20/")
    Item.setAboutText(item, "厄を払い続けてすり減った腕輪。もう何の力もない。")
    Item.Status.setPrice(item, 10)
    Item.Status.setSlotCount(item, 1)
    Item.setItemAttachScriptFileName(item, "Script/Item/Action/Attach.lua")
    Item.setItemThrowScriptFileName(item, "Script/Item/Action/Throw.lua")
    Item.setItemPutScriptFileName(item, "Script/Item/Action/Put.lua")
    ItemLook.build(item, g_itemChip)
end
