-- The player's set-up. It runs at start-up, after every common-save load and after a run's
-- result, always outside a floor and before the game data are complete: nothing here may call
-- Dungeon, Map or Game.Data.
Lua.require("Script.Lib.ActorLook")
Lua.require("Script.Lib.ConditionLook")

local player = nil

function setActor(actor)
    player = actor
end

function setup()
    Actor.setName(player, "旅人")
    -- The player's ID must differ from every enemy's: dozing enemies look for it in rooms.
    Actor.setActorID(player, 1)
    local status = Actor.Status
    status.setLevel(player, 1)
    status.setMaxLife(player, 15)
    status.setLife(player, 15)
    status.setMaxHungerPoint(player, 100)
    status.setHungerPoint(player, 100)
    status.setMaxForce(player, 8)
    status.setForce(player, 8)
    -- A blow deals about attack / 2 x (force / 8 + the weapon's attack / 16): bare-handed 2 to 3,
    -- with the copper sword 3 to 4, so the sword tells and a slime falls in two or three blows.
    status.setAttack(player, 6)
    status.setDefense(player, 0)
    status.setTurnCount(player, 1)
    status.setDirection(player, 4)
    ActorLook.build(Actor.getBasicAnimation(player), "Actor/Player/HERO/body.png", 4)
    ConditionLook.build(Actor.getConditionAnimation(player))
end

-- The player's own look again, after another actor's (a Mobbly's) was worn, or on the decoy that
-- takes the player's look.
function setupAnimation()
    ActorLook.build(Actor.getBasicAnimation(player), "Actor/Player/HERO/body.png", Actor.Status.getDirection(player))
end
