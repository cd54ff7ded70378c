-- Taking the stairs, once "すすむ" or "もどる" was chosen on them: on to the floor (or scene)
-- after this one, or back to the one before. The floor change itself waits for the floor's
-- next frame, so the action has nothing to animate.
Game.Action = {}

local BACK = 1

local stairs = nil
function Game.Action.initialize(actor, item)
    stairs = item
end

function Game.Action.startAction()
    if stairs ~= nil and Item.Status.getAnotherOption(stairs) == BACK then
        Dungeon.requestPrevDungeon()
    else
        Dungeon.requestNextDungeon()
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
