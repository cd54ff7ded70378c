local player = nil
function setActor(actor)
  player = actor
end
function setup()
  Actor.setName(player, "旅人")
  Actor.setActorID(player, 1)
end
