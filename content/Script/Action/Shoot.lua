-- A shot of the shooter (the parameter) along its facing: a pebble flies until it meets the
-- first actor in line, a wall or the end of its range, and an actor it meets takes a shot
-- worked out by the damage rules.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local DX = { [0] = 0, 1, 1, 1, 0, -1, -1, -1 }
local DY = { [0] = -1, -1, 0, 1, 1, 1, 0, -1 }
local CELL_SIZE = 80
local RANGE = 10
local SPEED = 720 -- pixels a second
local SHOT_NAME = "石つぶて"

local shooter = nil
local target = nil
local direction = 0
local distance = 0
local elapsed = 0
local flying = false

-- Loader thread: only remember the shooter.
function Game.Action.initialize(actor)
    shooter = actor
end

function Game.Action.startAction()
    elapsed = 0
    flying = false
    target = nil
    if shooter == nil then
        return
    end
    direction = (Actor.Status.getDirection(shooter) or 0) % 8
    Actor.playMotion(shooter, "Walk", true, true, true)
    local sx, sy = Actor.getCellPoint(shooter)
    if sx == nil then
        return
    end
    local hit, ex, ey = Dungeon.getShootableActor(shooter, direction, RANGE, false, false)
    if type(hit) == "table" then
        hit = hit[1]
    end
    target = hit
    local cells = 0
    if ex ~= nil and ex >= 0 then
        cells = math.max(math.abs(ex - sx), math.abs(ey - sy))
    end
    distance = cells * CELL_SIZE
    flying = true
end

function Game.Action.updateAction(dt)
    if not flying then
        return false
    end
    elapsed = elapsed + dt
    if elapsed * SPEED < distance then
        return true
    end
    flying = false
    if target ~= nil then
        Battle.shot(shooter, target, SHOT_NAME)
    end
    return false
end

function Game.Action.endAction()
end

function drawShot()
    local x, y = Actor.getDrawPosition(shooter)
    if x == nil then
        return
    end
    local travelled = math.min(elapsed * SPEED, distance)
    local px = x + CELL_SIZE / 2 + DX[direction] * travelled
    local py = y + CELL_SIZE / 2 + DY[direction] * travelled
    Graphics.SpriteDraw.drawFill(px - 6, py - 6, px + 6, py + 6, 0.85, 0.8, 0.7, 1.0)
end

-- Collection pass: only queue the pebble.
function Game.Action.drawAction()
    if flying then
        Graphics.addRenderQueue("Effect", "drawShot")
    end
end
