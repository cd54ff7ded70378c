-- The developer's script check: the first sample object walks on the spot from a walking
-- sheet; the cursor keys (virtual keys 0 to 3) move it and choose its facing.
local FRAME = 0.1
local SPEED = 120.0

local walker = getObj(0)
local x, y = 336.0, 236.0
local facing = 2

MossbellLib.addTexture(walker, "sample/walker_0.png")
MossbellLib.setFPS(walker, 60)
MossbellLib.create(walker, 512, 128, FRAME)
MossbellLib.setLoopPlay(walker, true)
for row = 0, 3 do
    MossbellLib.addPlayRangeData(walker, row * 4, row * 4 + 3)
end
MossbellLib.applyPlayRangeDataFromIndex(walker, facing)
MossbellLib.play(walker)

local MOVES = { { 0, -1 }, { 1, 0 }, { 0, 1 }, { -1, 0 } }

function update(dtText)
    local dt = tonumber(dtText) or 0
    local keys = InputSystem.getVirtualKey()
    for key = 0, 3 do
        if InputSystem.isPress(keys, key) then
            x = x + MOVES[key + 1][1] * SPEED * dt
            y = y + MOVES[key + 1][2] * SPEED * dt
            if facing ~= key then
                facing = key
                MossbellLib.applyPlayRangeDataFromIndex(walker, facing)
            end
        end
    end
    MossbellLib.update(walker, dt)
end

function draw()
    Graphics.SpriteDraw.beginSprite()
    MossbellLib.draw(walker, x, y)
    Graphics.SpriteDraw.endSprite()
end
