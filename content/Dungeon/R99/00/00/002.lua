-- The trial dungeon, second and last floor: a quiet room out of the clock's reach (floor type
-- 2: no hunger, no turn limit, no enemies). Its stairs end the trial as cleared and lead to
-- the result, then back to the world map.

local STAIRS_DOWN = 700
local EXIT_SCRIPT = "Script/Item/Action/ExitR99.lua"
local RESULT_SCENE = 10

local Room = nil

function getFloorNumber() return 2 end
function getPrevScene() return 0 end
function getNextScene() return RESULT_SCENE end
function getPrevDungeon() return "" end
function getNextDungeon() return "" end
function getBackMovieFilePath() return "" end
function getMaxAutoGenerateEnemyCount() return 0 end
function getEnemyAutoGenerateTurnCount() return 1 end
function getInitialEnemyCount() return 0 end

function generate()
    Room = Lua.dofile("Dungeon/R99/00/00/Room.lua")
    Room.build()
    Dungeon.setFloorType(2)
    return true
end

function setup()
    -- These stairs record the cleared trial before they leave the floor.
    local stairs = Dungeon.createItem(STAIRS_DOWN, Room.STAIRS[1], Room.STAIRS[2])
    if stairs then
        Item.setItemActionScriptFileName(stairs, EXIT_SCRIPT)
    end
    return true
end

function setupEvent()
    return false
end
