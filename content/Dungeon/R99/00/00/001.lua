-- The trial dungeon, first floor: one room and the clock. The floor starts at turn 898, so the
-- first warning comes within two turns and the meltdown at turn 1000 unless the player takes
-- the stairs first. No enemies live here. Runs on the floor worker thread: it only builds the
-- map and the items.

local NEWSPAPER = 900
local ELIXIR = 630
local STAIRS_DOWN = 700
local START_TURN = 898

local Room = nil

function getFloorNumber() return 1 end
function getPrevScene() return 0 end
function getNextScene() return 0 end
function getPrevDungeon() return "" end
function getNextDungeon() return "Dungeon/R99/00/00/002.lua" end
function getBackMovieFilePath() return "" end
-- No enemy list: nothing is ever generated, so the interval only has to be positive.
function getMaxAutoGenerateEnemyCount() return 0 end
function getEnemyAutoGenerateTurnCount() return 1 end
function getInitialEnemyCount() return 0 end

function generate()
    Room = Lua.dofile("Dungeon/R99/00/00/Room.lua")
    Room.build()
    return true
end

function setup()
    -- Off the straight way from the start to the stairs.
    Dungeon.createItem(NEWSPAPER, 5, Room.TOP)
    Dungeon.createItem(ELIXIR, 7, Room.BOTTOM)
    Dungeon.createItem(STAIRS_DOWN, Room.STAIRS[1], Room.STAIRS[2])
    Dungeon.Turn.setTurnCount(START_TURN)
    return true
end

function setupEvent()
    return false
end
