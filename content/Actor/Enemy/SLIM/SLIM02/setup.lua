-- Set-up of ビッグスライム (level 2): its look, name, ID and numbers.
Lua.require("Script.Lib.ActorLook")
Lua.require("Script.Lib.ConditionLook")
Lua.require("Script.Lib.EnemyAI")

local enemy = nil

function setActor(actor)
    enemy = actor
end

function setup()
    Actor.setName(enemy, "ビッグスライム")
    Actor.setActorID(enemy, 101)
    local status = Actor.Status
    status.setLevel(enemy, 2)
    status.setMaxLife(enemy, 14)
    status.setLife(enemy, 14)
    status.setAttack(enemy, 5)
    status.setDefense(enemy, 2)
    status.setEXP(enemy, 12)
    status.setTurnCount(enemy, 1)
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/SLIM/slim.png", status.getDirection(enemy))
    ConditionLook.build(Actor.getConditionAnimation(enemy))
    -- Dozing in its room, after the look the sleeping pose plays on.
    EnemyAI.doze(enemy)
end

-- A look of this kind on another actor (hallucination, transformation).
function setupAnimation()
    ActorLook.build(Actor.getBasicAnimation(enemy), "Actor/Enemy/SLIM/slim.png", Actor.Status.getDirection(enemy))
end
