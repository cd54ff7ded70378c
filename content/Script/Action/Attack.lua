-- One blow at the cell the attacker faces: the body takes a short lunge and whoever stands there
-- takes a blow worked out by the damage rules, told in the log; someone who talks (the
-- shopkeeper) is spoken to instead. The attacker is the action's parameter.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local DX = { [0] = 0, 1, 1, 1, 0, -1, -1, -1 }
local DY = { [0] = -1, -1, 0, 1, 1, 1, 0, -1 }
local LUNGE_TIME = 0.2
local LUNGE_PIXELS = 16
local NON_PLAYER = 2

local attacker = nil
local direction = 0
local elapsed = 0

-- Loader thread: only remember the attacker.
function Game.Action.initialize(actor)
    attacker = actor
end

function Game.Action.startAction()
    elapsed = 0
    direction = Actor.Status.getDirection(attacker) % 8
    Actor.playMotion(attacker, "Walk", true, true, true)
    local x, y = Actor.getCellPoint(attacker)
    if x == nil then
        return
    end
    local target = Dungeon.checkActorInCell(x + DX[direction], y + DY[direction])
    if target == nil then
        return
    end
    local talk = Actor.getActionEventScriptFileName(target)
    if Actor.getActorType(target) == NON_PLAYER and talk ~= nil and talk ~= "" then
        Actor.talk(attacker, target)
    else
        Battle.blow(attacker, target)
    end
end

function Game.Action.updateAction(dt)
    elapsed = elapsed + dt
    -- Out and back within the lunge time.
    local t = elapsed / LUNGE_TIME
    local reach = (t < 0.5 and t or 1 - t) * 2 * LUNGE_PIXELS
    if reach < 0 then
        reach = 0
    end
    Actor.setDrawOffset(attacker, DX[direction] * reach, DY[direction] * reach)
    return elapsed < LUNGE_TIME
end

function Game.Action.endAction()
    Actor.setDrawOffset(attacker, 0, 0)
end

function Game.Action.drawAction()
end
