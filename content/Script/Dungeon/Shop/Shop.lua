-- The shop: its goods lie on the shop floor at their prices until the player pays.
-- Item IDs of the goods: sword, shield, cake, medicine, tag, pot.
local GOODS = { 100, 110, 600, 620, 300, 400 }

function getBGMFilePath()
    return "BGM/bgm003.ogg"
end

function setup(room)
    -- Shop rules (paying, the guard after a robbery) know a shop by this kind.
    Map.Room.setRoomType(room, 2)
    local left, top, right, bottom = Map.Room.getRoomRect(room)
    -- Goods on every other cell, the row at the entrance left free to walk.
    local index = 1
    for y = top, bottom - 1 do
        for x = left, right, 2 do
            if index <= #GOODS then
                local item = Dungeon.createItem(GOODS[index], x, y)
                if item then
                    Dungeon.Shop.addItem(item)
                end
                index = index + 1
            end
        end
    end
    return true
end
