-- Set-up of the shop guard, sent after a player who left a shop without paying: strong,
-- quick on its feet, never put to sleep or slowed.
Lua.require("Script.Lib.ActorLook")
Lua.require("Script.Lib.ConditionLook")

local enemy = nil

function setActor(actor)
    enemy = actor
end

function setup()
    Actor.setName(enemy, "番人")
    Actor.setActorID(enemy, 190)
    local status = Actor.Status
    status.setLevel(enemy, 20)
    status.setMaxLife(enemy, 120)
    status.setLife(enemy, 120)
    status.setAttack(enemy, 24)
    status.setDefense(enemy, 12)
    status.setEXP(enemy, 400)
    status.setTurnCount(enemy, 2)
    -- Proof against the conditions that test the stability state (sleep, slowness ...).
    status.setStabilityState(enemy, 4, true)
    -- Awake wherever it arrives: it is sent to chase, never to doze in a room.
    status.setCategory(enemy, 13, true)
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/GURD/gurd.png", status.getDirection(enemy))
    ConditionLook.build(Actor.getConditionAnimation(enemy))
end

-- A look of this kind on another actor (hallucination, transformation).
function setupAnimation()
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/GURD/gurd.png", Actor.Status.getDirection(enemy))
end
