-- Builds an actor's condition sprite (Actor.getConditionAnimation) from the shared sheet: one
-- row of four 112x64 frames per condition mark, drawn from the body frame's top-left corner.
-- The play ranges carry the names the conditions show: "Confusion", "Drunken", "Blind",
-- "Trip" and "Unhinged". The sprite stays stopped until a condition shows one of them.
ConditionLook = {}

local SHEET = "Actor/Common/condition.png"
local FRAME_WIDTH = 112
local FRAME_HEIGHT = 64
local FRAMES = 4
local FRAME_TIME = 0.15
local MARKS = { "Confusion", "Drunken", "Blind", "Trip", "Unhinged" }

function ConditionLook.build(sprite)
    MossbellLib.clear(sprite)
    MossbellLib.addTexture(sprite, SHEET)
    for row, name in ipairs(MARKS) do
        local first = nil
        for column = 0, FRAMES - 1 do
            local chip = MossbellLib.addChipData(sprite, 0)
            MossbellLib.ChipData.setChipRectangle(sprite, chip, column * FRAME_WIDTH, (row - 1) * FRAME_HEIGHT,
                FRAME_WIDTH, FRAME_HEIGHT)
            local frame = MossbellLib.addAnimationData(sprite, chip, FRAME_TIME)
            if first == nil then
                first = frame
            end
        end
        local range = MossbellLib.addPlayRangeData(sprite, first, first + FRAMES - 1)
        MossbellLib.setPlayRangeName(sprite, range, name)
    end
end
