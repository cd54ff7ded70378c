-- Set-up of the shopkeeper: look, name, ID and the script a talk with it runs.
Lua.require("Script.Lib.ActorLook")

local keeper = nil

function setActor(actor)
    keeper = actor
end

function setup()
    Actor.setName(keeper, "店主")
    Actor.setActorID(keeper, 200)
    Actor.Status.setMaxLife(keeper, 999)
    Actor.Status.setLife(keeper, 999)
    Actor.Status.setTurnCount(keeper, 1)
    Actor.setActionEventScriptFileName(keeper, "Actor/NonPlayer/VNDR/Event/Talk.lua")
    ActorLook.build(Actor.getBasicAnimation(keeper), "Actor/NonPlayer/VNDR/vndr.png", 4)
end

function setupAnimation()
    ActorLook.build(Actor.getBasicAnimation(keeper), "Actor/NonPlayer/VNDR/vndr.png", 4)
end
