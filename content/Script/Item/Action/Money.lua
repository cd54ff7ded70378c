-- Picking up coins: their worth joins the money carried, and the coins are gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Game.Data.setPlayerMoney(Game.Data.getPlayerMoney() + Item.Status.getPrice(item))
    Dungeon.addLogMessage(Item.getName(item) .. "を拾った。")
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
