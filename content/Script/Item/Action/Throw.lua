-- A thrown item flies along the thrower's facing: it strikes the first actor in line as a blow
-- of the item and drops beside it, or, meeting nobody, drops where a wall or its range stops it.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local RANGE = 10
local DX = { [0] = 0, 1, 1, 1, 0, -1, -1, -1 }
local DY = { [0] = -1, -1, 0, 1, 1, 1, 0, -1 }
local INVALID = -1

local thrower, item, target = nil, nil, nil
local targetX, targetY = nil, nil
function Game.Action.initialize(actor, thrown, flag, word)
    thrower, item = actor, thrown
    local hit, x, y = Dungeon.getShootableActor(actor, RANGE)
    if type(hit) == "table" then
        hit = hit[1]
    end
    target, targetX, targetY = hit, x, y
end

-- The last cell an actor could stand on along the facing, within the range.
local function flightEnd()
    local x, y = Actor.getCellPoint(thrower)
    if x == nil then
        return nil
    end
    local direction = (Actor.Status.getDirection(thrower) or 0) % 8
    for _ = 1, RANGE do
        local nextX, nextY = x + DX[direction], y + DY[direction]
        if not Dungeon.isMovableCellType(thrower, nextX, nextY) then
            break
        end
        x, y = nextX, nextY
    end
    return x, y
end

function Game.Action.startAction()
    if thrower == nil or item == nil then
        return
    end
    local x, y = targetX, targetY
    if target ~= nil and target ~= thrower then
        Battle.itemBlow(item, target)
    else
        x, y = flightEnd()
    end
    if x == nil or x == INVALID then
        return
    end
    -- The item leaves the thrower's hands whether it lands or is lost.
    Dungeon.throwItem(item, x, y)
    if thrower == Dungeon.getPlayer() then
        Game.Data.removePlayerItem(item)
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
