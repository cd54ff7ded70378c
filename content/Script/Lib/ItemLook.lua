-- The look of an item: one still 80x80 chip of the item sheet. Every item "setup.lua" loads this
-- file, names its chip in the global g_itemChip and builds the look in its initialize; a look
-- rebuilt later (Item.Utility.setupBasicAnimation) takes the same chip from the same sheet.
ItemLook = ItemLook or {}
ItemLook.sheet = "Item/Texture/items.png"
ItemLook.chipSize = 80
ItemLook.chipsPerRow = 4

-- Builds the item's sprite from chip number `chip` of `sheet` (the item sheet when nil).
function ItemLook.build(item, chip, sheet)
    -- Some hosts that load item scripts have no sprite module.
    if MossbellLib == nil then
        return
    end
    local sprite = Item.getBasicAnimation(item)
    MossbellLib.clear(sprite)
    local texture = MossbellLib.addTexture(sprite, sheet or ItemLook.sheet)
    if texture == nil then
        return
    end
    local size = ItemLook.chipSize
    local c = MossbellLib.addChipData(sprite, texture)
    MossbellLib.ChipData.setChipRectangle(sprite, c, (chip % ItemLook.chipsPerRow) * size,
        math.floor(chip / ItemLook.chipsPerRow) * size, size, size)
    MossbellLib.addAnimationData(sprite, c, 1.0)
    MossbellLib.setLoopPlay(sprite, true)
    MossbellLib.play(sprite)
end

Item.Utility = Item.Utility or {}
function Item.Utility.setupBasicAnimation(item, fileName)
    ItemLook.build(item, g_itemChip or 0, fileName)
end
