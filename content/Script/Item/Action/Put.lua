-- Putting a carried item down on the cell the actor stands on, or the nearest free one. In a
-- shop it is then offered to the shopkeeper, who buys it when spoken to.
Game.Action = {}

local INVALID = -1

local owner, item = nil, nil
function Game.Action.initialize(actor, put, word1, word2)
    owner, item = actor, put
end

function Game.Action.startAction()
    if owner == nil or item == nil then
        return
    end
    local x, y = Actor.getCellPoint(owner)
    if x == nil then
        return
    end
    local name = Item.getDisplayName(item)
    local landedX = Dungeon.putItem(item, x, y, true)
    if landedX == nil or landedX == INVALID then
        -- No free cell near enough: the item stays with the actor rather than vanish.
        Dungeon.addLogMessage(name .. "を置く場所がない。")
        return
    end
    -- The floor holds the item now; the actor must let go of it, or it would be in both.
    Actor.Item.deleteItem(owner, item)
    Dungeon.addLogMessage(name .. "を置いた。")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
