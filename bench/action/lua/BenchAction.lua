-- An action script of the size and shape of the game's own: a table of helpers, state kept in
-- locals, and the five Game.Action functions.
Game.Action = {}

local actor = nil
local elapsed = 0
local frames = {}
local offsets = { {0, -4}, {3, -3}, {4, 0}, {3, 3}, {0, 4}, {-3, 3}, {-4, 0}, {-3, -3} }

local function clamp(value, low, high)
  if value < low then return low end
  if value > high then return high end
  return value
end

local function shake(step)
  local offset = offsets[(step % #offsets) + 1]
  return offset[1], offset[2]
end

local function buildFrames(count)
  local list = {}
  for i = 1, count do
    local x, y = shake(i)
    list[i] = { x = x, y = y, alpha = clamp(1.0 - i / count, 0.0, 1.0) }
  end
  return list
end

function Game.Action.initialize(parameter)
  actor = parameter
  elapsed = 0
  frames = buildFrames(16)
end

function Game.Action.startAction()
  elapsed = 0
end

function Game.Action.updateAction(dt)
  elapsed = elapsed + dt
  local index = math.floor(elapsed * 30) + 1
  return index <= #frames
end

function Game.Action.endAction()
  actor = nil
end

function Game.Action.drawAction()
  local index = clamp(math.floor(elapsed * 30) + 1, 1, #frames)
  return frames[index].alpha
end
