-- Drinking a healing potion: 25 points of life back, and the potion is gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Battle.tellUse(user, item, "飲んだ。")
    Battle.status(Battle.SOURCE_ITEM, item, user, "life", 25)
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
