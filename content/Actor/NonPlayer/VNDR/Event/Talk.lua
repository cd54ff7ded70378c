-- A word from the shopkeeper in the log; the talk ends at once. The parameter is the actor
-- talked to.
Game.Action = {}

local keeper = nil

function Game.Action.initialize(actor)
    keeper = actor
end

function Game.Action.startAction()
    Dungeon.addLogMessage(Actor.getName(keeper) .. "「いらっしゃいませ。」")
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
