-- Set-up of モッブリー (level 1): its look, name, ID and numbers.
Lua.require("Script.Lib.ActorLook")
Lua.require("Script.Lib.ConditionLook")
Lua.require("Script.Lib.EnemyAI")

local enemy = nil

function setActor(actor)
    enemy = actor
end

function setup()
    Actor.setName(enemy, "モッブリー")
    Actor.setActorID(enemy, 110)
    local status = Actor.Status
    status.setLevel(enemy, 1)
    status.setMaxLife(enemy, 10)
    status.setLife(enemy, 10)
    status.setAttack(enemy, 3)
    status.setDefense(enemy, 1)
    status.setEXP(enemy, 6)
    status.setTurnCount(enemy, 1)
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/MOBB/mobb.png", status.getDirection(enemy))
    ConditionLook.build(Actor.getConditionAnimation(enemy))
    -- Dozing in its room, after the look the sleeping pose plays on.
    EnemyAI.doze(enemy)
end

-- A look of this kind on another actor (hallucination, transformation).
function setupAnimation()
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/MOBB/mobb.png", Actor.Status.getDirection(enemy))
end
