-- Reading a card of luck: one level up, with what a level brings, and the card is gone.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    Battle.tellUse(user, item, "読んだ。")
    local from = Actor.Status.getLevel(user)
    Battle.status(Battle.SOURCE_ITEM, item, user, "level", 1)
    Lua.dofile("Script/Lib/Growth.lua").levelReached(user, from)
    Item.removeItem(item)
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
