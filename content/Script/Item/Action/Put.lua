-- Putting a carried item down on the cell the actor stands on, or the nearest free one.
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
    local landedX = Dungeon.putItem(item, x, y, 1)
    if landedX == nil or landedX == INVALID then
        -- No free cell near enough: the item stays with the actor rather than vanish.
        Dungeon.addLogMessage(name .. "を置く場所がない。")
        return
    end
    -- The floor holds the item now; the carried list must let it go, or it would be in both.
    if owner == Dungeon.getPlayer() then
        Game.Data.removePlayerItem(item)
    end
    Dungeon.addLogMessage(name .. "を置いた。")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
