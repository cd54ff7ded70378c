-- Functions the script host tests call from native code.
counter = 0
value = 7

function pair() return 1, "a" end
function yes() return true end
function echo(...) return ... end
function withNil() return nil, 5 end
function numericString() return "42" end
function aTable() return {} end
function getValue() return value end
function count() counter = counter + 1 end
function twice(x) return x * 2 end

Actor = { Command = {}, level = 3 }
function Actor.Command.doItem(n) return n * 2 end

-- Not a tail call: the checker reports this function as its caller.
function callChecked(...) local r = checked(...) return r end
