-- The shopkeeper stands at its post: each of its turns ends at once.
local self = nil

function Actor.initialize(actor)
    self = actor
end

function Actor.onTurn()
    Actor.endTurn(self)
end

Actor.Command = Actor.Command or {}
function Actor.Command.serialize() end
function Actor.Command.deserialize() end
