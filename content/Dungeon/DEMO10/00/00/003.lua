-- DEMO10, third and last floor: a generated layout with a monster house, and the stairs in
-- the middle of it. The stairs lead out of the dungeon to the story scene; their script
-- (ExitDEMO10.lua) records the cleared run and chooses the story before the floor is left.

local ENEMIES = { "Actor/Enemy/SLIM/SLIM01/", "Actor/Enemy/MOBB/MOBB01/" }
local ITEMS = { 600, 620, 300, 500 }
local STAIRS_DOWN = 700
local EXIT_SCRIPT = "Script/Item/Action/ExitDEMO10.lua"
local STORY_SCENE = 8

local floor = nil
local houseRoom = nil

function getFloorNumber() return 3 end
function getPrevScene() return 0 end
function getNextScene() return STORY_SCENE end
function getPrevDungeon() return "" end
function getNextDungeon() return "" end
-- Behind the map, looped.
function getBackMovieFilePath() return "Movie/back.ogv" end
function getMaxAutoGenerateEnemyCount() return 4 end
function getEnemyAutoGenerateTurnCount() return 25 end
function getInitialEnemyCount() return 2 end

local function roomIndexAt(x, y)
    for i, room in ipairs(floor.rooms) do
        if x >= room.left and x <= room.right and y >= room.top and y <= room.bottom then return i end
    end
    return nil
end

function generate()
    local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")
    floor = FloorGen.build({ width = 44, height = 32, rooms = 5, water = 1, patches = 4 })
    for _, folder in ipairs(ENEMIES) do
        Dungeon.addEnemyList(folder)
    end
    -- The house is the largest room away from the start.
    local startRoom = roomIndexAt(floor.start[1], floor.start[2])
    local bestArea = -1
    for i, room in ipairs(floor.rooms) do
        local area = (room.right - room.left + 1) * (room.bottom - room.top + 1)
        if i ~= startRoom and area > bestArea then
            houseRoom, bestArea = i, area
        end
    end
    return true
end

function setup()
    for _, id in ipairs(ITEMS) do
        local x, y = floor:takePoint()
        if x then Dungeon.createItem(id, x, y) end
    end
    if houseRoom then
        local x, y = floor:takePoint(houseRoom)
        local stairs = x and Dungeon.createItem(STAIRS_DOWN, x, y)
        if stairs then
            Item.setItemActionScriptFileName(stairs, EXIT_SCRIPT)
        end
        Dungeon.MonsterHouse.createMonsterHouse("Script/Dungeon/MonsterHouse/MonsterHouse.lua",
            floor.rooms[houseRoom].handle)
    end
    return true
end

function setupEvent()
    return false
end
