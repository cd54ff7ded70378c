-- The trial dungeon's floor: one walled room in a small map, the same on every visit, so that
-- the clock and not the search is the trial. The stairs lie at the far end of the room from
-- the start. Loaded by the floor scripts with Lua.dofile; builds through the Map module.
local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")

local Room = {}

Room.WIDTH, Room.HEIGHT = 13, 9
Room.LEFT, Room.TOP, Room.RIGHT, Room.BOTTOM = 2, 2, 10, 6
Room.START = { 3, 4 }
Room.STAIRS = { 9, 4 }

local CELL_SIZE = 80

local function inside(x, y)
    return x >= Room.LEFT and x <= Room.RIGHT and y >= Room.TOP and y <= Room.BOTTOM
end

-- Builds the map, its room, the start and the chip layers; returns the room.
function Room.build()
    Map.create(CELL_SIZE, Room.WIDTH, Room.HEIGHT)
    -- A new map holds one room over the whole map; the walled room replaces it.
    Map.clearRoom()
    for y = 0, Room.HEIGHT - 1 do
        for x = 0, Room.WIDTH - 1 do
            local kind = FloorGen.WALL
            if x == 0 or y == 0 or x == Room.WIDTH - 1 or y == Room.HEIGHT - 1 then
                kind = FloorGen.HARDWALL
            elseif inside(x, y) then
                kind = FloorGen.FLOOR
            end
            Map.Cell.setCellType(x, y, kind)
        end
    end
    local room = Map.addRoom(Room.LEFT, Room.TOP, Room.RIGHT, Room.BOTTOM)
    Map.setRoom(room)
    Map.setStartPosition(Room.START[1], Room.START[2])

    local ground = FloorGen.addLayer("MapGround", FloorGen.GROUND_TEXTURE, false)
    local walls = FloorGen.addLayer("MapBackChip", FloorGen.WALL_TEXTURE, true)
    for y = 0, Room.HEIGHT - 1 do
        for x = 0, Room.WIDTH - 1 do
            -- Stone chips in a fixed pattern; walls auto-tiled over the stone.
            Map.Chip.setChipData(ground, x, y, true, 0, (x * 3 + y * 7) % 4, 0)
            if not inside(x, y) then
                Map.Chip.setChipData(walls, x, y, true, 0, 0, 0)
            end
        end
    end
    return room
end

return Room
