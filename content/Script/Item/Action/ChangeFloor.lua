-- A new floor: food kept too long loses some of its worth. Works in initialize (the change-floor
-- script is only prepared).
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

function Game.Action.initialize(actor, item)
    local price = Item.Status.getPrice(item)
    if price > 10 then
        Item.Status.setPrice(item, price - 10)
    end
end

function Game.Action.startAction()
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
