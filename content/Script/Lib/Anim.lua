-- Builds sprite animations with the MossbellLib module from sheets of equal frames.
-- Load it with: local Anim = Lua.dofile("Script/Lib/Anim.lua")
--
-- A character sheet holds one column per direction (0 up, then clockwise to 7 up-left) with the
-- walking frames in its rows, and the sleeping frames in column 8; buildCharacter names the
-- ranges "Walk_0" .. "Walk_7" and "Sleep", which the native side plays by name.

local Anim = {}

-- Adds `count` frames cut from the sheet (texture index `texture`) starting at column, row and
-- going down the column; returns the first and last animation indices.
function Anim.addColumn(sprite, texture, column, firstRow, count, width, height, seconds)
    local first, last = nil, nil
    for row = firstRow, firstRow + count - 1 do
        local chip = MossbellLib.addChipData(sprite, texture)
        MossbellLib.ChipData.setChipRectangle(sprite, chip, column * width, row * height, width, height)
        local frame = MossbellLib.addAnimationData(sprite, chip, seconds)
        first = first or frame
        last = frame
    end
    return first, last
end

-- Adds frames going across a row; returns the first and last animation indices.
function Anim.addRow(sprite, texture, row, firstColumn, count, width, height, seconds)
    local first, last = nil, nil
    for column = firstColumn, firstColumn + count - 1 do
        local chip = MossbellLib.addChipData(sprite, texture)
        MossbellLib.ChipData.setChipRectangle(sprite, chip, column * width, row * height, width, height)
        local frame = MossbellLib.addAnimationData(sprite, chip, seconds)
        first = first or frame
        last = frame
    end
    return first, last
end

-- Names the frames first..last as one play range.
function Anim.nameRange(sprite, first, last, name)
    local range = MossbellLib.addPlayRangeData(sprite, first, last)
    MossbellLib.setPlayRangeName(sprite, range, name)
    return range
end

-- A character from its sheet: eight walking directions of `walkFrames` frames and two sleeping
-- frames, each frame `width` x `height`; starts looping "Walk_<direction>".
function Anim.buildCharacter(sprite, sheetPath, width, height, walkFrames, seconds, direction)
    MossbellLib.clear(sprite)
    local texture = MossbellLib.addTexture(sprite, sheetPath)
    for d = 0, 7 do
        local first, last = Anim.addColumn(sprite, texture, d, 0, walkFrames, width, height, seconds)
        Anim.nameRange(sprite, first, last, "Walk_" .. d)
    end
    local first, last = Anim.addColumn(sprite, texture, 8, 0, 2, width, height, seconds * 2)
    Anim.nameRange(sprite, first, last, "Sleep")
    MossbellLib.applyPlayRangeDataFromName(sprite, "Walk_" .. (direction or 4))
    MossbellLib.setLoopPlay(sprite, true)
    MossbellLib.play(sprite)
end

-- A looping strip of frames stacked down one column of the sheet, as one range named `name`.
function Anim.buildStrip(sprite, sheetPath, width, height, frames, name)
    MossbellLib.clear(sprite)
    local texture = MossbellLib.addTexture(sprite, sheetPath)
    local first, last = nil, nil
    for i, seconds in ipairs(frames) do
        local chip = MossbellLib.addChipData(sprite, texture)
        MossbellLib.ChipData.setChipRectangle(sprite, chip, 0, (i - 1) * height, width, height)
        local frame = MossbellLib.addAnimationData(sprite, chip, seconds)
        first = first or frame
        last = frame
    end
    Anim.nameRange(sprite, first, last, name)
    MossbellLib.applyPlayRangeDataFromName(sprite, name)
    MossbellLib.setLoopPlay(sprite, true)
    MossbellLib.play(sprite)
end

return Anim
