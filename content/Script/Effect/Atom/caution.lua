-- The warning of the turn limit (pushed at turns 900 and 950 with the player; the floor writes
-- the log line): the screen flashes red twice.
Game.Action = {}

local FLASH_TIME = 1.2
local FLASHES = 2
local MAX_ALPHA = 0.45

local elapsed = 0
local running = false

function Game.Action.initialize(player)
    elapsed = 0
    running = true
end

function Game.Action.startAction()
end

function Game.Action.updateAction(dt)
    if not running then
        return false
    end
    elapsed = elapsed + (tonumber(dt) or 0)
    running = elapsed < FLASH_TIME
    return running
end

function Game.Action.endAction()
    running = false
end

-- Called from the render queue: the frame's sprite drawer is open.
function cautionDraw()
    if not running then
        return
    end
    local phase = (elapsed / FLASH_TIME) * FLASHES % 1
    local alpha = math.sin(phase * math.pi) * MAX_ALPHA
    Graphics.SpriteDraw.drawFill(0, 0, 800, 600, 1.0, 0.0, 0.0, alpha)
end

-- Called while the frame's draws are collected: only queue.
function Game.Action.drawAction()
    if running then
        Graphics.addRenderQueue("ScreenEffect", "cautionDraw")
    end
end
