-- Calls a module function by its dotted name, so that the test's table of cases reaches every
-- function with the arguments it gives.
function call(path, ...)
  local f = _G
  for name in string.gmatch(path, "[^%.]+") do
    f = f[name]
  end
  return f(...)
end

-- The serializer is handed over as actor scripts get it: as their argument.
function roundTrip(serializer)
  Game.Serialize.setInteger(serializer, -7)
  Game.Serialize.setNumber(serializer, 2.5)
end

function readBack(serializer)
  return Game.Serialize.getInteger(serializer), Game.Serialize.getNumber(serializer),
         Game.Serialize.getInteger(serializer), Game.Serialize.getNumber(serializer)
end

function ranking(kind)
  local list = kind == "score" and Game.Ranking.getScoreAttackRankingList()
                                or Game.Ranking.getTimeAttackRankingList()
  local first = list[1]
  return #list, first.name, first.time, first.score, list[5].time
end
