function Actor.initialize(actor)
  Actor.setActorID(actor, 7)
end
