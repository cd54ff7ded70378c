-- Eating a seed of strength: one more point of maximum force, then of force.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Battle.tellUse(user, item, "食べた。")
    Battle.status(Battle.SOURCE_ITEM, item, user, "maxForce", 1)
    Battle.status(Battle.SOURCE_ITEM, item, user, "force", 1)
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
