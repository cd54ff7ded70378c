-- Builds an actor's body sprite from a character sheet: frames of 112x120, column d (0 up, then
-- clockwise) holds the four walking frames of direction d in rows 0-3, column 8 rows 0-1 the two
-- sleeping frames. The play ranges are the motions the game asks for: "Walk_0" .. "Walk_7" and
-- "Sleep".
ActorLook = {}

local FRAME_WIDTH = 112
local FRAME_HEIGHT = 120
local WALK_FRAME_TIME = 0.15
local SLEEP_FRAME_TIME = 0.5

local function addRange(sprite, name, column, rows, frameTime)
    local first = nil
    for row = 0, rows - 1 do
        local chip = MossbellLib.addChipData(sprite, 0)
        MossbellLib.ChipData.setChipRectangle(sprite, chip, column * FRAME_WIDTH, row * FRAME_HEIGHT,
            FRAME_WIDTH, FRAME_HEIGHT)
        local frame = MossbellLib.addAnimationData(sprite, chip, frameTime)
        if first == nil then
            first = frame
        end
    end
    local range = MossbellLib.addPlayRangeData(sprite, first, first + rows - 1)
    MossbellLib.setPlayRangeName(sprite, range, name)
end

-- Rebuilds the sprite from the sheet and shows it walking in the given direction.
function ActorLook.build(sprite, sheet, direction)
    MossbellLib.clear(sprite)
    MossbellLib.addTexture(sprite, sheet)
    for d = 0, 7 do
        addRange(sprite, "Walk_" .. d, d, 4, WALK_FRAME_TIME)
    end
    addRange(sprite, "Sleep", 8, 2, SLEEP_FRAME_TIME)
    MossbellLib.applyPlayRangeDataFromName(sprite, "Walk_" .. (direction or 4))
    MossbellLib.setLoopPlay(sprite, true)
    MossbellLib.play(sprite)
end
