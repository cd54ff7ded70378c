-- Putting an item into a pot, while the pot has room (its use count).
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local holder, item = nil, nil
function Game.Action.initialize(actor, pot, put)
    holder, item = pot, put
end

function Game.Action.startAction()
    if item == holder then
        -- The pot is offered in its own list; it cannot go into itself.
        Dungeon.addLogMessage(Item.getName(holder) .. "は自分の中には入らない。")
        return
    end
    local room = Item.Status.getUseCount(holder)
    if room <= #Item.getItemList(holder) then
        Dungeon.addLogMessage(Item.getName(holder) .. "はいっぱいだ。")
        return
    end
    Item.pushItemIntoItemList(holder, item)
    Dungeon.addLogMessage(Item.getDisplayName(item) .. "を" .. Item.getName(holder) .. "に入れた。")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
