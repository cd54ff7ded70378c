-- The player's gauges over the floor: floor, level, life (a bar that slides to the new value
-- and turns red when low), fullness and money. Drawn from the HUD's place in the render queue,
-- so it may draw at once.

local GAUGE_TEXTURE = "HUD/gauge.png"
-- Rows of the gauge picture, 16 pixels each: the frame, life, low life, fullness.
local ROW_FRAME, ROW_LIFE, ROW_LOW, ROW_HUNGER = 0, 1, 2, 3
local GAUGE_WIDTH, GAUGE_HEIGHT = 256, 16
-- Life at or below this share of the maximum shows in red.
local PINCH = 0.25

local player = nil
local gauge = nil
local shownLife = nil

function setPlayer(actor)
    player = actor
    shownLife = nil
    if gauge == nil then
        gauge = Graphics.createTextureFromFile(GAUGE_TEXTURE)
    end
end

local function status()
    local s = Actor.Status
    return {
        level = s.getLevel(player),
        life = s.getLife(player),
        maxLife = math.max(1, s.getMaxLife(player)),
        hunger = s.getHungerPoint(player),
        maxHunger = math.max(1, s.getMaxHungerPoint(player)),
    }
end

function update(dt)
    if player == nil then
        return false
    end
    local life = Actor.Status.getLife(player)
    if shownLife == nil then
        shownLife = life
    end
    -- Slide by a third of the maximum per second, so a hit reads as a drop, not a jump.
    local step = math.max(1, Actor.Status.getMaxLife(player)) / 3 * (tonumber(dt) or 0)
    if shownLife > life then
        shownLife = math.max(life, shownLife - step)
    elseif shownLife < life then
        shownLife = math.min(life, shownLife + step)
    end
    return true
end

local function bar(x, y, row, share)
    local draw = Graphics.SpriteDraw.draw
    draw(gauge, x, y, x + GAUGE_WIDTH, y + GAUGE_HEIGHT, 0, ROW_FRAME * GAUGE_HEIGHT, GAUGE_WIDTH,
        (ROW_FRAME + 1) * GAUGE_HEIGHT, 0, 1, 1, 1, 1)
    local width = math.floor(GAUGE_WIDTH * math.max(0, math.min(1, share)))
    if width > 0 then
        draw(gauge, x, y, x + width, y + GAUGE_HEIGHT, 0, row * GAUGE_HEIGHT, width, (row + 1) * GAUGE_HEIGHT, 0, 1, 1,
            1, 1)
    end
end

function draw()
    if player == nil then
        return false
    end
    local s = status()
    local life = shownLife or s.life
    Dungeon.Font.drawText(string.format("%dF  Lv%d", Dungeon.getFloorNumber(), s.level), 16, 8)
    Dungeon.Font.drawText(string.format("HP %d/%d", s.life, s.maxLife), 230, 8)
    Dungeon.Font.drawText(string.format("%d円", Game.Data.getPlayerMoney()), 660, 8)
    if gauge ~= nil and not Lua.isNull(gauge) then
        local pinch = s.life <= s.maxLife * PINCH
        bar(400, 14, pinch and ROW_LOW or ROW_LIFE, life / s.maxLife)
        bar(400, 34, ROW_HUNGER, s.hunger / s.maxHunger)
    end
    return true
end
