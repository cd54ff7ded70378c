-- Putting an item down: it lies on the putter's cell, or the nearest free cell around it, and
-- the log tells so. In a shop it is offered to the shopkeeper, who buys it when spoken to.
Game.Action = {}

local putter, item = nil, nil

function Game.Action.initialize(actor, put, first, second)
    putter, item = actor, put
end

function Game.Action.startAction()
    local x, y = Actor.getCellPoint(putter)
    if x == nil or item == nil then
        return
    end
    local name = Item.getDisplayName(item, true)
    -- The floor takes the item; the putter lets go of it (an item that found no place is gone).
    local landedX = Dungeon.putItem(item, x, y, true)
    Actor.Item.deleteItem(putter, item)
    if landedX ~= nil and landedX >= 0 then
        Dungeon.addLogMessage(name .. "を置いた。")
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
