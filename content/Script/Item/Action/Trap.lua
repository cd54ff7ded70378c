-- A snare springs: five points of damage to whoever stepped on it, and it shows.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Item.setVisible(item, true)
    Battle.tellUse(user, item, "踏んだ！")
    Battle.fixed(Battle.SOURCE_ITEM, item, user, -5, "罠")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
