-- A chunk that leaves traces of its run, for the chunk cache tests.
chunkRuns = (chunkRuns or 0) + 1
function chunkAnswer(a, b)
  return tonumber(a) * tonumber(b)
end
