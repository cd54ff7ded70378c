-- DEMO10, first floor: a new rooms-and-corridors layout on every visit, drawn from the game's
-- random generator (a replay rebuilds the same floor). Runs on the floor worker thread: it
-- only builds the map, the enemy list and the items.

local ENEMIES = { "Actor/Enemy/SLIM/SLIM01/", "Actor/Enemy/MOBB/MOBB01/" }
-- What lies about: sword, shield, cake, tag, card, pot, money, medicine, a trap.
local ITEMS = { 100, 110, 600, 300, 310, 400, 500, 620, 800 }
local STAIRS_DOWN = 700

local floor = nil

function getFloorNumber() return 1 end
function getPrevScene() return 0 end
function getNextScene() return 0 end
function getPrevDungeon() return "" end
function getNextDungeon() return "Dungeon/DEMO10/00/00/002.lua" end
function getBackMovieFilePath() return "" end
function getMaxAutoGenerateEnemyCount() return 5 end
function getEnemyAutoGenerateTurnCount() return 20 end
function getInitialEnemyCount() return 3 end

-- The room holding the cell, as an index into floor.rooms; nil in a corridor.
local function roomIndexAt(x, y)
    for i, room in ipairs(floor.rooms) do
        if x >= room.left and x <= room.right and y >= room.top and y <= room.bottom then return i end
    end
    return nil
end

function generate()
    local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")
    floor = FloorGen.build({ width = 40, height = 30, rooms = 4, water = 2, patches = 6 })
    -- Water glows faintly: an additive layer over the pools.
    local glow = FloorGen.addLayer("MapAddChip", "Dungeon/MapChip/glow.png", false)
    for y = 0, floor.height - 1 do
        for x = 0, floor.width - 1 do
            if floor:kind(x, y) == FloorGen.WATER then
                Map.Chip.setChipData(glow, x, y, true, 0, 0, 0)
            end
        end
    end
    for _, folder in ipairs(ENEMIES) do
        Dungeon.addEnemyList(folder)
    end
    return true
end

function setup()
    for _, id in ipairs(ITEMS) do
        local x, y = floor:takePoint()
        if x then Dungeon.createItem(id, x, y) end
    end
    -- The stairs lie in another room than the start, so the floor has to be crossed.
    local startRoom = roomIndexAt(floor.start[1], floor.start[2])
    local stairsRoom = Lua.Random.getRange(1, #floor.rooms)
    if stairsRoom == startRoom then
        stairsRoom = stairsRoom % #floor.rooms + 1
    end
    local x, y = floor:takePoint(stairsRoom)
    if x then Dungeon.createItem(STAIRS_DOWN, x, y) end
    return true
end

-- The floor's opening event starts from the player's arrival on the game thread, not here.
function setupEvent()
    return false
end
