-- The player's own script state, alive as long as the player actor. The player's turn is ended
-- by the player layer's commands, never by a hook here.
local player = nil

function Actor.initialize(actor)
    player = actor
end
