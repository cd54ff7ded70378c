-- The end of the turn limit (turn 1000): the floor fades to white over two seconds, then the
-- meltdown is recorded and the floor plays the meltdown movie and goes to the result. The
-- action is prepared and updated by the floor without ever being started; it is updated only
-- until the meltdown is recorded.
Game.Action = {}

local WHITE_OUT_TIME = 2.0

local elapsed = 0
local recorded = false

function Game.Action.initialize(player)
    elapsed = 0
    recorded = false
end

function Game.Action.startAction()
end

function Game.Action.updateAction(dt)
    if recorded then
        return false
    end
    elapsed = elapsed + (tonumber(dt) or 0)
    if elapsed >= WHITE_OUT_TIME then
        recorded = true
        -- The result tells on which floor it happened.
        Game.Setting.Result.setLastFloorNumber(Dungeon.getFloorNumber())
        Game.Setting.Result.setMeltdown(true)
        return false
    end
    return true
end

function Game.Action.endAction()
end

-- Called from the render queue: the frame's sprite drawer is open.
function meltdownDraw()
    local alpha = math.min(1.0, elapsed / WHITE_OUT_TIME)
    Graphics.SpriteDraw.drawFill(0, 0, 800, 600, 1.0, 1.0, 1.0, alpha)
end

-- Called while the frame's draws are collected: only queue.
function Game.Action.drawAction()
    Graphics.addRenderQueue("ScreenEffect", "meltdownDraw")
end
