-- An item the actor (the parameter) stepped on burns up: the equipment that burns what it
-- touches sets the first item on the actor's cell on fire, the log says so, and the item goes.
Game.Action = {}

local CELL_SIZE = 80
local FLAME_TIME = 0.5

local actor = nil
local x, y = nil, nil
local elapsed = 0

function Game.Action.initialize(subject)
    actor = subject
end

function Game.Action.startAction()
    elapsed = 0
    x, y = nil, nil
    if actor == nil then
        return
    end
    local cx, cy = Actor.getCellPoint(actor)
    local item = cx ~= nil and Dungeon.checkItemInCell(cx, cy) or nil
    if item == nil then
        return
    end
    x, y = Actor.getDrawPosition(actor)
    Dungeon.addLogMessage(string.format("<0:COLOR>%s</COLOR>は燃えてしまった。", Item.getName(item)))
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    if x == nil then
        return false
    end
    elapsed = elapsed + dt
    return elapsed < FLAME_TIME
end

function Game.Action.endAction()
end

function drawFlame()
    if x == nil then
        return
    end
    local t = math.min(elapsed / FLAME_TIME, 1)
    local flicker = (math.floor(elapsed * 20) % 2) * 0.15
    local top = y + CELL_SIZE * (0.3 + 0.5 * t)
    Graphics.SpriteDraw.drawFill(x + 16, top, x + CELL_SIZE - 16, y + CELL_SIZE, 1.0, 0.45 + flicker, 0.1, 0.8 * (1 - t))
end

function Game.Action.drawAction()
    Graphics.addRenderQueue("Effect", "drawFlame")
end
