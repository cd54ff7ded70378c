-- Reading a flame tag: fifteen points of fire at whoever stands ahead; one use spent.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local user, item = nil, nil
function Game.Action.initialize(actor, used)
    user, item = actor, used
end

function Game.Action.startAction()
    local count = Item.Status.getUseCount(item)
    if count <= 0 then
        Dungeon.addLogMessage("何も起こらなかった。")
        return
    end
    Item.Status.setUseCount(item, count - 1)
    local hit = Dungeon.getShootableActor(user, 1)
    if hit ~= nil and hit ~= user then
        Battle.fixed(Battle.SOURCE_ACTOR, user, hit, -15, "炎")
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
