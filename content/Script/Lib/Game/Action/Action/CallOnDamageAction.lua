-- What a hit that hurt leaves behind, for its target (the parameter): the damage rises over the
-- target as a number, the target hears "onDamage", and a target the hit killed hears "onDead".
-- A killed enemy blinks out and leaves the floor, and a player who struck it gains its
-- experience; a killed player keeps who and what killed it for the result.
Game.Action = {}

local CELL_SIZE = 80
local RISE_TIME = 0.4
local RISE_PIXELS = 24
local BLINK_TIME = 0.06
local PLAYER = 1

local target = nil
local text = ""
local elapsed = 0
local killed = false

-- Loader thread: only remember the target; everything else happens on the game thread.
function Game.Action.initialize(actor)
    target = actor
end

local function nameOf(actor)
    return actor ~= nil and Actor.getName(actor) or nil
end

-- A player who struck the killing blow gains what the enemy was worth.
local function reward(killer)
    if killer == nil or Actor.getActorType(killer) ~= PLAYER then
        return
    end
    local worth = Actor.Status.getEXP(target) or 0
    Dungeon.addLogMessage(string.format("<0:COLOR>%s</COLOR>をたおした。", nameOf(target)))
    if worth > 0 then
        Dungeon.addLogMessage(string.format("経験値を<1:COLOR>%d</COLOR>得た。", worth))
        Lua.dofile("Script/Lib/Growth.lua").gainExperience(killer, worth)
    end
end

-- The result tells what killed the player: the attacker's (or the item's) name and the damage's.
local function recordCause(source)
    local origin = source.pOriginActor
    local by = nil
    if origin ~= nil and origin ~= target then
        by = nameOf(origin)
    elseif source.pOriginItem ~= nil then
        by = Item.getName(source.pOriginItem)
    end
    Game.Setting.Result.setDamageSourceName(by or "")
    Game.Setting.Result.setDamageName(source.strDamageName or "")
end

function Game.Action.startAction()
    elapsed = 0
    killed = false
    if target == nil or Actor.isAlive(target) == nil then
        target = nil  -- gone before its turn came
        return
    end
    local result = DamageCalculate.getDamageResult(target)
    -- A fixed hurt counts as a damage below zero; the number shown is what was lost.
    text = tostring(math.abs(result.iDamage))
    Actor.callEvent(target, "onDamage")
    if Actor.isAlive(target) then
        return
    end
    killed = true
    Actor.callEvent(target, "onDead")
    if Actor.getActorType(target) == PLAYER then
        recordCause(result.damageSource)
    else
        reward(result.damageSource.pOriginActor)
    end
end

function Game.Action.updateAction(dt)
    if target == nil then
        return false
    end
    elapsed = elapsed + dt
    if killed and Actor.getActorType(target) ~= PLAYER then
        Dungeon.CellObject.setVisible(target, math.floor(elapsed / BLINK_TIME) % 2 == 1)
    end
    return elapsed < RISE_TIME
end

function Game.Action.endAction()
    if target == nil then
        return
    end
    if killed and Actor.getActorType(target) ~= PLAYER then
        Dungeon.removeActor(target)
    end
    target = nil
end

function drawPopup()
    if target == nil then
        return
    end
    local x, y = Actor.getDrawPosition(target)
    if x == nil then
        return
    end
    local rise = math.min(elapsed / RISE_TIME, 1) * RISE_PIXELS
    local left = x + CELL_SIZE / 2 - #text * 8
    local top = y - 8 - rise
    Graphics.SpriteDraw.drawFill(left - 4, top, left + #text * 16 + 4, top + 32, 0.6, 0.0, 0.0, 0.7)
    Dungeon.Font.drawText(text, left, top)
end

-- Collection pass: only queue the pop-up.
function Game.Action.drawAction()
    if target ~= nil then
        Graphics.addRenderQueue("Effect", "drawPopup")
    end
end
