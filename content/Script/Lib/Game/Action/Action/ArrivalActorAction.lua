-- The arrival of a new actor in sight (the parameter): it drops onto its cell in a flash of
-- light. The arrival keeps the actor hidden until this action starts.
Game.Action = {}

local CELL_SIZE = 80
local DROP_TIME = 0.35
local DROP_PIXELS = 48

local actor = nil
local elapsed = 0

function Game.Action.initialize(subject)
    actor = subject
    elapsed = 0
end

function Game.Action.startAction()
    elapsed = 0
    if actor == nil then
        return
    end
    Dungeon.CellObject.setVisible(actor, true)
    Actor.setDrawOffset(actor, 0, -DROP_PIXELS)
end

function Game.Action.updateAction(dt)
    if actor == nil then
        return false
    end
    elapsed = elapsed + dt
    if elapsed >= DROP_TIME then
        Actor.setDrawOffset(actor, 0, 0)
        return false
    end
    local left = 1 - elapsed / DROP_TIME
    Actor.setDrawOffset(actor, 0, -DROP_PIXELS * left * left)
    return true
end

function Game.Action.endAction()
    if actor ~= nil then
        Actor.setDrawOffset(actor, 0, 0)
    end
end

function drawFlash()
    if actor == nil then
        return
    end
    local x, y = Actor.getDrawPosition(actor)
    if x == nil then
        return
    end
    local alpha = 0.6 * (1 - math.min(elapsed / DROP_TIME, 1))
    Graphics.SpriteDraw.drawFill(x, y, x + CELL_SIZE, y + CELL_SIZE, 1.0, 1.0, 1.0, alpha)
end

function Game.Action.drawAction()
    Graphics.addRenderQueue("Effect", "drawFlash")
end
