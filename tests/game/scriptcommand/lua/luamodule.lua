-- Calls of the "Lua" module made by the module tests.
function buildKind() return Lua.isMaster(), Lua.isDebug(), Lua.isRelease() end
function nullTests(object)
  return Lua.isNull(nil), Lua.isNull(0), Lua.isNull(Lua.nullPtr()), Lua.isNull(object)
end
function strLen(text) return Lua.String.len(text) end
function strGet(text, index) return Lua.String.get(text, index) end
function requireTwice()
  Lua.require("Script.Test.lib.counter")
  Lua.require("Script.Test.lib.counter")
  return requireCount
end
function dofileValue() return Lua.dofile("Script/Test/lib/values.lua") end
function dofileNothing() return Lua.dofile("Script/Test/lib/empty.lua") == nil, emptyRan end
function loadfileCounts()
  return select("#", Lua.loadfile("Script/Test/none.lua")), type(Lua.loadfile("Script/Test/lib/broken.lua"))
end
function dofileErrors(name)
  local ok, message = pcall(Lua.dofile, name)
  return ok, message
end
function randomDraws(seed)
  Lua.Random.setSeed(seed)
  return Lua.Random.get(), Lua.Random.getRange(6, 1), Lua.Random.getRangeReal(0.5, 1.5)
end
function missingArguments()
  return Lua.String.len(), Lua.Random.getRange(), Lua.isNull(), Lua.String.get() == nil
end
function timerBeforeStart() return Lua.stopTimer() end
function timed(ms)
  Lua.startTimer()
  Lua.sleepThread(ms)
  return Lua.stopTimer()
end
-- A coroutine has its own state: it loads files onto its own stack and finds the module through
-- the state it was made from.
function inCoroutine()
  local co = coroutine.create(function()
    local loaded = Lua.dofile("Script/Test/lib/values.lua")
    local resumed = Lua.yield(loaded)
    return resumed, Lua.Random.getRange(3, 3)
  end)
  local ok1, first = coroutine.resume(co)
  local ok2, second, third = coroutine.resume(co, "again")
  return ok1 and ok2, first, second, third
end
function listFolder(pattern) return table.concat(Lua.dir(pattern), ",") end
function keys() return Lua.isKeyboardPress("A"), Lua.isKeyboardPush(65), Lua.isKeyboardPress(43) end
