function setup(factory)
  addItemInfo(factory, 30, "Item/C/")
  addItemInfo(factory, 2, "Item/A/")
  addItemInfo(factory, 17, "Item/B/")
  addItemInfo(factory, 5, "Item/Old/")
  addItemInfo(factory, 5, "Item/Kind/")
end
