-- The flash of a level change: the actor (the parameter) hops once. It runs as the second half
-- of an enemy's level change and, held by the Mobbly condition, when a Mobbly turns back; there
-- it is prepared and updated without ever being started or ended, and goes on being updated
-- after it finished, so every function stands on its own and a finished hop stays finished.
Game.Action = {}

local HOP_TIME = 0.4
local HOP_PIXELS = 12

local actor = nil
local elapsed = 0
local finished = true

function Game.Action.initialize(subject)
    actor = subject
    elapsed = 0
    finished = subject == nil
end

function Game.Action.startAction()
end

function Game.Action.updateAction(dt)
    if finished then
        return false
    end
    elapsed = elapsed + dt
    if elapsed >= HOP_TIME then
        Actor.setDrawOffset(actor, 0, 0)
        finished = true
        return false
    end
    Actor.setDrawOffset(actor, 0, -math.sin(elapsed / HOP_TIME * math.pi) * HOP_PIXELS)
    return true
end

function Game.Action.endAction()
    if not finished then
        Actor.setDrawOffset(actor, 0, 0)
        finished = true
    end
end

function Game.Action.drawAction()
end
