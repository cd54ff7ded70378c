function initialize(item)
  Item.setName(item, "薬草")
end
