-- Script objects made by the native factory, driven the way a script uses them.
-- `restartFactory()` is installed by the test: it removes and installs the factory again.
tests = {}

function tests.objectsGetConsecutiveIds()
  restartFactory()
  local a = _CreateObject("LuaClassBase")
  local b = _CreateObject("LuaClassBase")
  assert(type(a) == "table" and type(b) == "table", "objects are tables")
  assert(a ~= b and a.Userdata ~= b.Userdata, "two distinct objects")
  assert(type(a.Userdata) == "userdata", "the object rides in a userdata field")
  assert(objectId(a) == 0 and objectId(b) == 1, "ids " .. objectId(a) .. ", " .. objectId(b))
  restartFactory()
  assert(objectId(_CreateObject("BaseUserdata")) == 0, "ids restart with the factory")
end

function tests.membersKeepTheirFirstValue()
  local o = _CreateObject("LuaClassBase")
  _SetObjectValue(o, "hp", 5)
  _SetObjectValue(o, "hp", 7)
  assert(_GetObjectValue(o, "hp") == 5, "the first value stays")
end

function tests.membersKeepTheirKinds()
  local o = _CreateObject("LuaClassBase")
  local cases = { yes = true, no = false, n = -2.5, s = "名前" }
  for name, value in pairs(cases) do
    _SetObjectValue(o, name, value)
  end
  for name, value in pairs(cases) do
    local got = _GetObjectValue(o, name)
    assert(got == value, name .. " read back as " .. tostring(got))
  end
  _SetObjectValue(o, "t", {})
  assert(_GetObjectValue(o, "t") == nil, "a table is not stored")
  assert(_GetObjectValue(o, "never") == nil, "a member never set reads nil")
end

function tests.stringMemberOutlivesTheLuaString()
  local o = _CreateObject("LuaClassBase")
  _SetObjectValue(o, "s", string.rep("ab", 50) .. tostring(os.time()))
  local expected = string.rep("ab", 50)
  collectgarbage("collect")
  local got = _GetObjectValue(o, "s")
  assert(got:sub(1, 100) == expected and #got > 100, "text kept")
end

function tests.badArgumentsAreHarmless()
  assert(_CreateObject("NoSuchClass") == "NoSuchClass", "unknown class returns its name")
  assert(select("#", _CreateObject(12)) == 0, "a non-string returns nothing")
  -- no object: nothing is stored and nothing breaks
  _SetObjectValue({}, "x", 1)
  _SetObjectValue(5, "x", 1)
  assert(_GetObjectValue({}, "x") == nil, "no object reads nil")
  local f = _CreateObject("FileManager")
  _SetObjectValue(f, "x", 1)
  assert(_GetObjectValue(f, "x") == nil, "a file object has no members")
end

function tests.fileManagerWritesAndReadsBack()
  local f = _CreateObject("FileManager")
  local path = tempPath()
  assert(f.open(path, "out", "wb") == true, "open for writing")
  assert(f.writeLine("out", "line one\n") == true)
  assert(f.write("out", "xyz") == true)
  assert(f.size("out") == 10, "size " .. tostring(f.size("out")))
  assert(f.close("out") == true)
  assert(f.close("out") == nil, "a closed file is gone from the table")
  assert(f.open(path, "in", "rb") == true, "open for reading")
  assert(f.readLine("in") == "line one\n")
  assert(f.read("in") == "x")
  assert(f.eof("in") == false)
  assert(f.readLine("in") == "")
  assert(f.eof("in") == true)
  assert(f.read("in") == "")
  assert(type(f.ptr("in")) == "userdata")
  assert(f.close(f.Userdata, "in") == true, "a calling object in front is skipped")
  assert(f.open(path, "in") == false, "open needs three arguments")
  assert(f.open(path, "in", "q") == false, "a bad mode is refused")
  assert(f.open(path .. ".missing/x", "in", "rb") == false, "a missing file is refused")
  assert(select("#", f.eof()) == 0, "no name, no result")
  assert(select("#", f.read("unknown")) == 0, "unknown name, no result")
end
