-- Picking up coins: their worth joins the money carried, and the coins are gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    local worth = Item.Status.getPrice(item)
    Game.Data.setPlayerMoney(Game.Data.getPlayerMoney() + worth)
    Dungeon.addLogMessage(string.format("<1:COLOR>%d</COLOR>円の%sを拾った。", worth, Item.getName(item)))
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
