-- Reading an extra edition: the whole floor becomes known, and the paper is gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Battle.tellUse(user, item, "読んだ。")
    Dungeon.setFloorIdentifiable(user, true)
    Dungeon.addLogMessage("この階の様子がわかった。")
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
