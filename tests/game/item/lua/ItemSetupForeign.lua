-- Objects the factory never handed out: each call is ignored, the last one counts.
function setup(factory)
  addItemInfo(io.stdout, 1, "Item/A/")
  addItemInfo(nil, 2, "Item/B/")
  addItemInfo({}, 3, "Item/C/")
  addItemInfo(7, 4, "Item/D/")
  addItemInfo(factory, 5, "Item/Kind/")
end
