-- Rooms-and-corridors floors, laid out through the Map module. Every choice is drawn from
-- Lua.Random, the game's own generator, so a floor follows from the game's seed and a replay
-- rebuilds the floor it recorded.
--
--   local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")
--   local floor = FloorGen.build({ width = 48, height = 36, rooms = 6, water = 2 })
--
-- The map is split into a grid of slots; a slot holds a room, or a corridor junction when
-- there are more slots than rooms. Corridors join neighbouring slots (a random spanning tree,
-- so every room is reachable, and a few extra joins for loops); a corridor enters a room
-- through a gate cell in the ring of wall around it. The border of the map is HardWall, every
-- other cell that is neither floor nor water is Wall, so floors are always walled in.
local FloorGen = {}

FloorGen.NONE = 0
FloorGen.FLOOR = 1
FloorGen.WALL = 2
FloorGen.HARDWALL = 3
FloorGen.WATER = 4

-- Chips of "Dungeon/MapChip/ground.png": stone floors in row 0, water in row 1.
FloorGen.GROUND_TEXTURE = "Dungeon/MapChip/ground.png"
FloorGen.WALL_TEXTURE = "Dungeon/MapChip/wall_auto.png"

-- A room needs a wall ring and one free cell towards its slot's edge on each side, so that
-- the corridors between two slots always find a column (or row) of their own.
local SLOT_MARGIN = 2
local MIN_ROOM = 3
local MIN_SLOT = MIN_ROOM + 2 * SLOT_MARGIN

local function random(lo, hi)
    return Lua.Random.getRange(lo, hi)
end

-- The grid that wastes the fewest slots, then the one whose slots are closest to the
-- proportions of a room (a little wider than high).
local function chooseGrid(innerWidth, innerHeight, roomCount)
    local best = nil
    for columns = 1, roomCount do
        local rows = math.ceil(roomCount / columns)
        local slotWidth = math.floor(innerWidth / columns)
        local slotHeight = math.floor(innerHeight / rows)
        if slotWidth >= MIN_SLOT and slotHeight >= MIN_SLOT then
            local score = (columns * rows - roomCount) * 10 + math.abs(slotWidth - slotHeight * 1.3)
            if best == nil or score < best.score then
                best = { columns = columns, rows = rows, score = score }
            end
        end
    end
    return best
end

local Floor = {}
Floor.__index = Floor

function Floor:kind(x, y)
    if x < 0 or y < 0 or x >= self.width or y >= self.height then
        return FloorGen.NONE
    end
    return self.kinds[y * self.width + x + 1]
end

function Floor:setKind(x, y, kind)
    self.kinds[y * self.width + x + 1] = kind
end

-- A Floor cell not handed out before (the start is never handed out), inside the given room
-- (1-based index into floor.rooms) or any room when none is given; nil when the room is full.
function Floor:takePoint(roomIndex)
    local room = self.rooms[roomIndex or random(1, #self.rooms)]
    local free = {}
    for y = room.top, room.bottom do
        for x = room.left, room.right do
            if self:kind(x, y) == FloorGen.FLOOR and not self.taken[y * self.width + x + 1] then
                free[#free + 1] = { x, y }
            end
        end
    end
    if #free == 0 then
        return nil
    end
    local point = free[random(1, #free)]
    self.taken[point[2] * self.width + point[1] + 1] = true
    return point[1], point[2]
end

local function makeSlots(floor, grid)
    local innerWidth, innerHeight = floor.width - 2, floor.height - 2
    local slotWidth = math.floor(innerWidth / grid.columns)
    local slotHeight = math.floor(innerHeight / grid.rows)
    local slots = {}
    for row = 0, grid.rows - 1 do
        for column = 0, grid.columns - 1 do
            local x0 = 1 + column * slotWidth
            local y0 = 1 + row * slotHeight
            -- The last column and row take what the division leaves over.
            local x1 = column == grid.columns - 1 and floor.width - 2 or x0 + slotWidth - 1
            local y1 = row == grid.rows - 1 and floor.height - 2 or y0 + slotHeight - 1
            slots[#slots + 1] = { column = column, row = row, x0 = x0, y0 = y0, x1 = x1, y1 = y1 }
        end
    end
    return slots
end

-- Which slots hold rooms: all of them, or a random choice when the grid has spare slots.
local function placeRooms(floor, slots, roomCount)
    local order = {}
    for i = 1, #slots do
        order[i] = i
    end
    for i = #order, 2, -1 do
        local j = random(1, i)
        order[i], order[j] = order[j], order[i]
    end
    local holdsRoom = {}
    for i = 1, roomCount do
        holdsRoom[order[i]] = true
    end
    for index, slot in ipairs(slots) do
        local spaceWidth = slot.x1 - slot.x0 + 1 - 2 * SLOT_MARGIN
        local spaceHeight = slot.y1 - slot.y0 + 1 - 2 * SLOT_MARGIN
        if holdsRoom[index] then
            local width = random(math.max(MIN_ROOM, math.floor(spaceWidth / 2)), spaceWidth)
            local height = random(math.max(MIN_ROOM, math.floor(spaceHeight / 2)), spaceHeight)
            local left = random(slot.x0 + SLOT_MARGIN, slot.x1 - SLOT_MARGIN - width + 1)
            local top = random(slot.y0 + SLOT_MARGIN, slot.y1 - SLOT_MARGIN - height + 1)
            slot.room = { left = left, top = top, right = left + width - 1, bottom = top + height - 1, gates = {} }
            floor.rooms[#floor.rooms + 1] = slot.room
        else
            slot.junction = { x = random(slot.x0 + SLOT_MARGIN, slot.x1 - SLOT_MARGIN),
                              y = random(slot.y0 + SLOT_MARGIN, slot.y1 - SLOT_MARGIN) }
        end
    end
end

-- A random spanning tree over the slots' grid neighbours, then a few extra joins; dead-end
-- junctions are dropped again since they would only end corridors in nothing.
local function chooseJoins(slots, grid, roomCount)
    local function slotAt(column, row)
        return slots[row * grid.columns + column + 1]
    end
    local function neighbours(slot)
        local list = {}
        if slot.column + 1 < grid.columns then list[#list + 1] = slotAt(slot.column + 1, slot.row) end
        if slot.row + 1 < grid.rows then list[#list + 1] = slotAt(slot.column, slot.row + 1) end
        if slot.column > 0 then list[#list + 1] = slotAt(slot.column - 1, slot.row) end
        if slot.row > 0 then list[#list + 1] = slotAt(slot.column, slot.row - 1) end
        return list
    end
    local joins = {}
    local joined = {}
    local function key(a, b)
        local i = a.row * grid.columns + a.column
        local j = b.row * grid.columns + b.column
        return i < j and (i * 10000 + j) or (j * 10000 + i)
    end
    local function join(a, b)
        joined[key(a, b)] = true
        joins[#joins + 1] = { a, b }
    end

    local inTree = { [slots[random(1, #slots)]] = true }
    local frontier = {}
    local function openFrom(slot)
        for _, other in ipairs(neighbours(slot)) do
            frontier[#frontier + 1] = { slot, other }
        end
    end
    for _, slot in ipairs(slots) do
        if inTree[slot] then openFrom(slot) end
    end
    while #frontier > 0 do
        local pick = random(1, #frontier)
        local edge = frontier[pick]
        frontier[pick] = frontier[#frontier]
        frontier[#frontier] = nil
        if not inTree[edge[2]] then
            inTree[edge[2]] = true
            join(edge[1], edge[2])
            openFrom(edge[2])
        end
    end

    for _ = 1, math.floor(roomCount / 3) do
        local slot = slots[random(1, #slots)]
        local around = neighbours(slot)
        if #around > 0 then
            local other = around[random(1, #around)]
            if not joined[key(slot, other)] then join(slot, other) end
        end
    end

    local pruned = true
    while pruned do
        pruned = false
        for _, slot in ipairs(slots) do
            if slot.junction then
                local count, last = 0, nil
                for i, pair in ipairs(joins) do
                    if pair[1] == slot or pair[2] == slot then count, last = count + 1, i end
                end
                if count <= 1 then
                    if last then table.remove(joins, last) end
                    slot.junction = nil
                    pruned = true
                end
            end
        end
    end
    return joins
end

local function carve(floor, x, y)
    if floor:kind(x, y) ~= FloorGen.WATER then
        floor:setKind(x, y, FloorGen.FLOOR)
    end
end

local function addGate(room, x, y)
    for _, gate in ipairs(room.gates) do
        if gate[1] == x and gate[2] == y then return end
    end
    room.gates[#room.gates + 1] = { x, y }
end

-- Where a corridor leaves a slot towards its neighbour: the gate in the room's ring on that
-- side, or the junction itself. `across` is the axis the corridor crosses first (x when the
-- slots sit side by side); `limit` is how far the corridor may run along that axis before it
-- turns, so that it never runs along a room's ring.
local function exitOf(slot, towardsHigher, sideBySide)
    if slot.junction then
        local j = slot.junction
        return j.x, j.y, sideBySide and j.x or j.y
    end
    local room = slot.room
    if sideBySide then
        local y = random(room.top, room.bottom)
        if towardsHigher then return room.right + 1, y, room.right + 2 end
        return room.left - 1, y, room.left - 2
    end
    local x = random(room.left, room.right)
    if towardsHigher then return x, room.bottom + 1, room.bottom + 2 end
    return x, room.top - 1, room.top - 2
end

local function digCorridor(floor, a, b)
    -- a is the left (or upper) slot of the two.
    if a.column > b.column or a.row > b.row then a, b = b, a end
    local sideBySide = a.row == b.row
    local ax, ay, low = exitOf(a, true, sideBySide)
    local bx, by, high = exitOf(b, false, sideBySide)
    if a.room then addGate(a.room, ax, ay) end
    if b.room then addGate(b.room, bx, by) end
    local turn = random(low, high)
    if sideBySide then
        for x = math.min(ax, turn), math.max(ax, turn) do carve(floor, x, ay) end
        for y = math.min(ay, by), math.max(ay, by) do carve(floor, turn, y) end
        for x = math.min(turn, bx), math.max(turn, bx) do carve(floor, x, by) end
    else
        for y = math.min(ay, turn), math.max(ay, turn) do carve(floor, ax, y) end
        for x = math.min(ax, bx), math.max(ax, bx) do carve(floor, x, turn) end
        for y = math.min(turn, by), math.max(turn, by) do carve(floor, bx, y) end
    end
end

-- Pools inside rooms, kept one cell off the room's edge: the edge stays a floor path around
-- the pool, so the room and its gates stay connected.
local function floodRooms(floor, pools)
    local candidates = {}
    for _, room in ipairs(floor.rooms) do
        if room.right - room.left >= 4 and room.bottom - room.top >= 4 then
            candidates[#candidates + 1] = room
        end
    end
    for _ = 1, math.min(pools, #candidates) do
        local room = table.remove(candidates, random(1, #candidates))
        local maxWidth = math.min(5, room.right - room.left - 3)
        local maxHeight = math.min(4, room.bottom - room.top - 3)
        local width = random(math.max(1, math.floor(maxWidth / 2)), maxWidth)
        local height = random(math.max(1, math.floor(maxHeight / 2)), maxHeight)
        local left = random(room.left + 2, room.right - 1 - width)
        local top = random(room.top + 2, room.bottom - 1 - height)
        for y = top, top + height - 1 do
            for x = left, left + width - 1 do floor:setKind(x, y, FloorGen.WATER) end
        end
    end
end

local function writeMap(floor)
    Map.create(floor.cellSize, floor.width, floor.height)
    -- A new map holds one room over the whole map; this floor's rooms replace it.
    Map.clearRoom()
    for y = 0, floor.height - 1 do
        for x = 0, floor.width - 1 do
            Map.Cell.setCellType(x, y, floor:kind(x, y))
        end
    end
    for _, room in ipairs(floor.rooms) do
        room.handle = Map.addRoom(room.left, room.top, room.right, room.bottom)
        for _, gate in ipairs(room.gates) do
            Map.addRoomGate(room.handle, gate[1], gate[2])
        end
        Map.setRoom(room.handle)
    end
    Map.setStartPosition(floor.start[1], floor.start[2])
end

-- A layer with its texture loaded and shown; returns its index.
function FloorGen.addLayer(name, texture, autoTile)
    local layer = Map.Chip.addLayer()
    if name then Map.Chip.setLayerName(layer, name) end
    Map.Chip.setMapChipTexturePath(layer, texture, autoTile and 1 or 0)
    Map.Chip.reloadMapChipTexture(layer)
    Map.Chip.setLayerVisible(layer, true)
    return layer
end

-- The ground under everything (stone, water; stone also under walls, whose rounded corners
-- let it show) and the auto-tiled walls over it.
-- Patches of grass or earth on the room floors, in a layer of their own without a name: it is
-- drawn at the priority of the layer after it (the walls), above the ground.
local function writePatches(floor, count)
    floor.patchLayer = FloorGen.addLayer(nil, FloorGen.GROUND_TEXTURE, false)
    for _ = 1, count do
        local room = floor.rooms[random(1, #floor.rooms)]
        local cx, cy = random(room.left, room.right), random(room.top, room.bottom)
        local chipX = random(0, 1)  -- earth or grass, row 2 of the ground chips
        for y = cy - 1, cy + 1 do
            for x = cx - 1, cx + 1 do
                if floor:kind(x, y) == FloorGen.FLOOR and random(0, 3) > 0 then
                    Map.Chip.setChipData(floor.patchLayer, x, y, true, 0, chipX, 2)
                end
            end
        end
    end
end

local function writeChips(floor, patches)
    floor.groundLayer = FloorGen.addLayer("MapGround", FloorGen.GROUND_TEXTURE, false)
    if patches > 0 then
        writePatches(floor, patches)
    end
    floor.wallLayer = FloorGen.addLayer("MapBackChip", FloorGen.WALL_TEXTURE, true)
    for y = 0, floor.height - 1 do
        for x = 0, floor.width - 1 do
            local kind = floor:kind(x, y)
            if kind == FloorGen.WATER then
                Map.Chip.setChipData(floor.groundLayer, x, y, true, 0, (x + y) % 4, 1)
            else
                Map.Chip.setChipData(floor.groundLayer, x, y, true, 0, random(0, 3), 0)
            end
            if kind == FloorGen.WALL or kind == FloorGen.HARDWALL then
                Map.Chip.setChipData(floor.wallLayer, x, y, true, 0, 0, 0)
            end
        end
    end
end

-- options: width, height (cells), rooms (count), water (pools, default 0), patches (of grass
-- or earth, default 0), cellSize (pixels, default 80). Builds the map, its rooms, gates, start
-- position and chip layers, and returns the floor: width, height, rooms (left, top, right,
-- bottom, gates, handle), start {x, y}, groundLayer, patchLayer, wallLayer, and the methods
-- kind(x, y) and takePoint(room).
function FloorGen.build(options)
    local floor = setmetatable({
        width = options.width, height = options.height, cellSize = options.cellSize or 80,
        rooms = {}, kinds = {}, taken = {},
    }, Floor)
    local roomCount = options.rooms
    local grid = chooseGrid(floor.width - 2, floor.height - 2, roomCount)
    if roomCount < 1 or grid == nil then
        error(string.format("FloorGen: no room for %d rooms on a %d x %d floor", roomCount, floor.width, floor.height))
    end
    for y = 0, floor.height - 1 do
        for x = 0, floor.width - 1 do
            local border = x == 0 or y == 0 or x == floor.width - 1 or y == floor.height - 1
            floor:setKind(x, y, border and FloorGen.HARDWALL or FloorGen.WALL)
        end
    end
    local slots = makeSlots(floor, grid)
    placeRooms(floor, slots, roomCount)
    for _, room in ipairs(floor.rooms) do
        for y = room.top, room.bottom do
            for x = room.left, room.right do carve(floor, x, y) end
        end
    end
    floodRooms(floor, options.water or 0)
    for _, pair in ipairs(chooseJoins(slots, grid, roomCount)) do
        digCorridor(floor, pair[1], pair[2])
    end
    for _, slot in ipairs(slots) do
        if slot.junction then carve(floor, slot.junction.x, slot.junction.y) end
    end
    floor.start = { floor:takePoint() }
    writeMap(floor)
    writeChips(floor, options.patches or 0)
    return floor
end

return FloorGen
