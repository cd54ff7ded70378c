-- The player's own script state, alive as long as the player actor. The player's turn is ended
-- by the player layer's commands, never by a hook here.
local player = nil

function Actor.initialize(actor)
    player = actor
end

-- The commands the player's controls and menus call: each one queues the action and ends the
-- player's turn. The first argument is the count of the arguments that follow.
Actor.Command = Actor.Command or {}

local ATTACK_SCRIPT = "Script/Action/Attack.lua"
local SHOOT_SCRIPT = "Script/Action/Shoot.lua"

local function finish()
    Actor.endTurn(player)
end

function Actor.Command.doActorAttack(n)
    Actor.Action.pushAction(player, ATTACK_SCRIPT)
    finish()
end

function Actor.Command.doActorShoot(n)
    Actor.Action.pushAction(player, SHOOT_SCRIPT)
    finish()
end

-- Use an item; with two items, use the first (a pending holder action) on the second.
function Actor.Command.doItem(n, item, chosen)
    if n == 2 then
        Actor.Action.doUseItem(player, item, chosen)
    else
        Actor.Action.doItem(player, item)
    end
    finish()
end

function Actor.Command.doThrowItem(n, item)
    Actor.Action.doThrowItem(player, item)
    finish()
end

function Actor.Command.doPutItem(n, item)
    Actor.Action.doPutItem(player, item)
    finish()
end

function Actor.Command.doPushItem(n, holder, item)
    Actor.Action.doPushItem(player, holder, item)
    finish()
end

function Actor.Command.doPopItem(n, holder, item)
    Actor.Action.doPopItem(player, holder, item)
    finish()
end
