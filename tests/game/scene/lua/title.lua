-- A title script that records what the scene asks of it and returns the code the test sets.
updates = 0
lastTime = -1
draws = 0
results = {}
nextCode = 0
replayName = "missing.lrd"
hadSave = nil

function initialize(hasCommonSave)
  hadSave = hasCommonSave
end

function update(dt)
  updates = updates + 1
  lastTime = dt
  local code = nextCode
  nextCode = 0
  return code
end

function setResult(result)
  results[#results + 1] = result
end

function getReplayFileName()
  return replayName
end

function draw()
  draws = draws + 1
end
