-- The player (the parameter) collapses: it lies down and sinks a little before the floor shows
-- its defeat. It is queued when debility took the player's last life, so the result names
-- debility as the cause.
Game.Action = {}

local COLLAPSE_TIME = 1.0
local SINK_PIXELS = 12
local DEBILITY = 19

local player = nil
local elapsed = 0

function Game.Action.initialize(subject)
    player = subject
end

function Game.Action.startAction()
    elapsed = 0
    if player == nil or Actor.isAlive(player) == nil then
        player = nil
        return
    end
    if Actor.Condition.isCondition(player, DEBILITY) then
        Game.Setting.Result.setDamageSourceName("")
        Game.Setting.Result.setDamageName("衰弱")
    end
    Actor.playMotion(player, "Sleep", false, false, true)
end

function Game.Action.updateAction(dt)
    if player == nil then
        return false
    end
    elapsed = elapsed + dt
    local t = math.min(elapsed / COLLAPSE_TIME, 1)
    Actor.setDrawOffset(player, 0, SINK_PIXELS * t)
    return elapsed < COLLAPSE_TIME
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
