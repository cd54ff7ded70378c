-- Values crossing between scripts and native code. `echo(...)` is installed by the test: it reads
-- each argument as a result record and pushes the records back. `isIntegral(v)` runs the
-- integral test on its argument.
tests = {}

function tests.integralTest()
  local cases = {
    { 3, true }, { -7, true }, { 0, true }, { "12", true }, { 2147483647, true },
    { -2147483648, true }, { 2.5, false }, { "2.5", false }, { 4294967296, false },
    { 2147483648, false }, { -2147483649, false }, { 0 / 0, false }, { 1 / 0, false },
    { true, false }, { "abc", false }, { {}, false },
  }
  for i, case in ipairs(cases) do
    assert(isIntegral(case[1]) == case[2], "case " .. i .. ": " .. tostring(case[1]))
  end
  assert(isIntegral(nil) == false, "nil")
  assert(isIntegral() == false, "no value")
end

function tests.resultRecordsRoundTrip()
  local a, b, c, d = echo(0.5, "text", true, "42")
  assert(a == 0.5, "number")
  assert(b == "text", "string")
  -- a boolean comes back as the integer 1, a numeric string as a number
  assert(c == 1, "boolean as integer: " .. tostring(c))
  assert(d == 42 and type(d) == "number", "numeric string as number")
  assert(select("#", echo({}, nil, print)) == 0, "tables, nil and functions give no record")
end
