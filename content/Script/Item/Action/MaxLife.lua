-- Drinking an elixir: five more points of maximum life, and the elixir is gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Battle.tellUse(user, item, "飲んだ。")
    Battle.status(Battle.SOURCE_ITEM, item, user, "maxLife", 5)
    Battle.identifyUsed(item)
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
