-- The loading screen shown while a floor is set up, drawn over the dungeon's title picture:
-- the floor as "<n>F" (as the result names it) in block letters and a turning ring of dots. It
-- keeps the screen for a short while at least, so that the floor's name can be read even when
-- the set-up is quick. It also records the dungeon and floor reached for the result.
-- Only Graphics and Game are attached here, so the letters are drawn as filled squares.

local HOLD_SECONDS = 0.5
local PIXEL = 12

local floorNumber = 0
local elapsed = 0.0

-- Five rows of three columns per character, "1" for a filled square.
local GLYPHS = {
    B = { "110", "101", "110", "101", "110" },
    F = { "111", "100", "110", "100", "100" },
    ["0"] = { "111", "101", "101", "101", "111" },
    ["1"] = { "010", "110", "010", "010", "111" },
    ["2"] = { "111", "001", "111", "100", "111" },
    ["3"] = { "111", "001", "111", "001", "111" },
    ["4"] = { "101", "101", "111", "001", "001" },
    ["5"] = { "111", "100", "111", "001", "111" },
    ["6"] = { "111", "100", "111", "101", "111" },
    ["7"] = { "111", "001", "001", "001", "001" },
    ["8"] = { "111", "101", "111", "101", "111" },
    ["9"] = { "111", "101", "111", "001", "111" },
}

-- The dungeons' names as the result tells where a dive ended, by their folder under "Dungeon/".
local DUNGEON_NAMES = {
    DEMO10 = "デモダンジョン",
    R99 = "試練のダンジョン",
}

local dungeonName = ""
local placeRecorded = false

-- The folder's own name stands in for a dungeon without a name of its own.
local function nameOfDungeon(directory)
    local folder = string.match(string.upper(string.gsub(tostring(directory or ""), "\\", "/")), "DUNGEON/([^/]+)")
    if folder == nil then
        return ""
    end
    return DUNGEON_NAMES[folder] or folder
end

function initialize(floorScriptPath, dungeonDirectory, resourceDirectory, number)
    floorNumber = tonumber(number) or 0
    dungeonName = nameOfDungeon(dungeonDirectory)
    placeRecorded = false
    elapsed = 0.0
end

-- Every floor a dive reaches passes through here, so this is where the result learns where the
-- dive is: whatever ends it (a defeat, giving up, the turn limit) then names the dungeon and the
-- floor. It is done on the first update, on the game thread, after the scene's hand-over
-- records were cleared; initialize runs on the floor worker.
local function recordPlace()
    if placeRecorded then
        return
    end
    placeRecorded = true
    Game.Setting.Result.setLastFloorNumber(math.floor(floorNumber))
    Game.Setting.Result.setLastFloorName(dungeonName)
end

-- True keeps the loading screen.
function update(dt)
    recordPlace()
    elapsed = elapsed + (tonumber(dt) or 0)
    return elapsed < HOLD_SECONDS
end

local function drawText(text, left, top)
    local fill = Graphics.SpriteDraw.drawFill
    for i = 1, #text do
        local glyph = GLYPHS[string.sub(text, i, i)]
        if glyph then
            for row = 1, 5 do
                for column = 1, 3 do
                    if string.sub(glyph[row], column, column) == "1" then
                        local x = left + (column - 1) * PIXEL
                        local y = top + (row - 1) * PIXEL
                        -- A shadow first, then the letter.
                        fill(x + 3, y + 3, x + PIXEL + 3, y + PIXEL + 3, 0.0, 0.0, 0.0, 0.6)
                        fill(x, y, x + PIXEL, y + PIXEL, 1.0, 0.95, 0.8, 1.0)
                    end
                end
            end
        end
        left = left + 4 * PIXEL
    end
end

function draw()
    local text = tostring(math.max(0, math.floor(floorNumber))) .. "F"
    local width = #text * 4 * PIXEL - PIXEL
    drawText(text, 400 - width / 2, 250)
    -- Eight dots on a ring; the bright one goes round.
    local lead = math.floor(elapsed * 10) % 8
    for i = 0, 7 do
        local angle = i * math.pi / 4
        local x = 400 + math.sin(angle) * 24
        local y = 380 - math.cos(angle) * 24
        local shade = i == lead and 1.0 or 0.35
        Graphics.SpriteDraw.drawFill(x - 4, y - 4, x + 4, y + 4, shade, shade, shade, 1.0)
    end
end
