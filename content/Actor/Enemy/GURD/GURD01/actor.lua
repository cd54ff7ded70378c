-- The shop guard's own script state: it hunts the robber through the shared AI.
Lua.require("Script.Lib.EnemyAI")

local self = nil

function Actor.initialize(actor)
    self = actor
end

function Actor.onTurn()
    EnemyAI.takeTurn(self, "Script/Action/Attack.lua")
end

-- Nothing of its own to keep in a save.
Actor.Command = Actor.Command or {}
function Actor.Command.serialize() end
function Actor.Command.deserialize() end
