-- Taking an item out of a pot into the items carried.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local holder, item = nil, nil
function Game.Action.initialize(actor, pot, taken)
    holder, item = pot, taken
end

function Game.Action.startAction()
    Item.popItemFromItemList(holder, item)
    Dungeon.addLogMessage(Item.getDisplayName(item) .. "を取り出した。")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
