-- The enemies' shared behaviour: attack the player when it stands next to the enemy, chase it
-- while it is in sight, else wander. Every path ends the turn: a turn that is never ended
-- freezes the floor.
EnemyAI = {}

-- The eight directions, clockwise from north.
local DX = { [0] = 0, 1, 1, 1, 0, -1, -1, -1 }
local DY = { [0] = -1, -1, 0, 1, 1, 1, 0, -1 }

local function sign(value)
    if value > 0 then
        return 1
    elseif value < 0 then
        return -1
    end
    return 0
end

local function directionOf(dx, dy)
    for d = 0, 7 do
        if DX[d] == dx and DY[d] == dy then
            return d
        end
    end
    return nil
end

-- One cell in direction d, when the cell takes the actor; true when the step was queued.
function EnemyAI.step(actor, x, y, d)
    if not Dungeon.isMovable(actor, x + DX[d], y + DY[d], true) then
        return false
    end
    Actor.Status.setDirection(actor, d)
    Actor.Action.doMove(actor, DX[d], DY[d])
    return true
end

local function wander(actor, x, y)
    local start = Lua.Random.getRange(0, 7)
    for i = 0, 7 do
        if EnemyAI.step(actor, x, y, (start + i) % 8) then
            return
        end
    end
end

-- Towards the player: straight at it, else one of the two directions beside that one.
local function chase(actor, x, y, d)
    return EnemyAI.step(actor, x, y, d) or EnemyAI.step(actor, x, y, (d + 1) % 8) or
        EnemyAI.step(actor, x, y, (d + 7) % 8)
end

function EnemyAI.takeTurn(actor, attackScript)
    local x, y = Actor.getCellPoint(actor)
    local player = Dungeon.getPlayer()
    if x ~= nil and player ~= nil and Actor.isAlive(player) then
        local px, py = Actor.getCellPoint(player)
        local d = px ~= nil and directionOf(sign(px - x), sign(py - y)) or nil
        if d ~= nil then
            local near = px - x >= -1 and px - x <= 1 and py - y >= -1 and py - y <= 1
            if near and Dungeon.checkAttackPossible(x, y, px, py, 1) then
                Actor.Status.setDirection(actor, d)
                Actor.Action.pushAction(actor, attackScript)
                Actor.endTurn(actor)
                return
            end
            if Dungeon.checkActorInSight(actor, player) and chase(actor, x, y, d) then
                Actor.endTurn(actor)
                return
            end
        end
    end
    if x ~= nil then
        wander(actor, x, y)
    end
    Actor.endTurn(actor)
end

-- Puts an enemy under the dozing condition at its set-up, before it arrives. The condition is
-- switched on while the enemy counts as wakeful (category bit 13), so switching it on rolls no
-- sleep of its own: the arrival alone decides, with its one roll, whether the enemy lies down.
-- From then on the condition wakes it when the player comes into its room or hits it.
function EnemyAI.doze(actor)
    Actor.Status.setCategory(actor, 13, true)
    Actor.Condition.addCondition(actor, 11)
    Actor.Status.setCategory(actor, 13, false)
end
