-- Equipping a weapon, shield or amulet. Three hosts run this with different modules (one has
-- neither Actor nor MossbellLib), so it only draws what the host can draw.
function attach(player, item)
    if not (Actor and MossbellLib) then
        return
    end
    local kind = Item.getItemType(item)
    local sprite = nil
    if kind == 2 then
        sprite = Actor.getWeaponAnimation(player)
    elseif kind == 1 then
        sprite = Actor.getShieldAnimation(player)
    end
    if sprite == nil then
        return
    end
    -- The equipment follows the body: a still chip of the item sheet, kept playing.
    MossbellLib.clear(sprite)
    local texture = MossbellLib.addTexture(sprite, "Item/Texture/items.png")
    if texture == nil then
        return
    end
    local chip = MossbellLib.addChipData(sprite, texture)
    local column = kind == 2 and 0 or 1
    MossbellLib.ChipData.setChipRectangle(sprite, chip, column * 80, 0, 80, 80)
    MossbellLib.addAnimationData(sprite, chip, 1.0)
    MossbellLib.AnimationData.setDrawScale(sprite, -1, 0.5, 0.5)
    MossbellLib.setLoopPlay(sprite, true)
    MossbellLib.play(sprite)
end
