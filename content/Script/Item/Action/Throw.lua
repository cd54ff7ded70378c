-- A thrown item strikes whoever it lands on as a blow of the item.
Lua.dofile("Script/Lib/Battle.lua")
Game.Action = {}

local thrower, item, target = nil, nil, nil
function Game.Action.initialize(actor, thrown, flag, word)
    thrower, item = actor, thrown
    target = Dungeon.getShootableActor(actor, 10)
end

function Game.Action.startAction()
    if target ~= nil and target ~= thrower then
        Battle.itemBlow(item, target)
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
