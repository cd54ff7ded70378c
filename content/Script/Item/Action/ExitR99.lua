-- The stairs out of the trial dungeon: the trial is recorded as cleared, the result that
-- follows goes on to the world map, and the floor is left for the scene the floor names (the
-- result).
Game.Action = {}

local WORLD_MAP_SCENE = 9

function Game.Action.initialize(actor, item)
end

function Game.Action.startAction()
    Game.Setting.Result.setR99Cleared(true)
    Game.Setting.Result.setLastFloorNumber(Dungeon.getFloorNumber())
    Game.Setting.Result.setLastFloorName("試練のダンジョン")
    Game.Setting.Result.setNextScene(WORLD_MAP_SCENE)
    Dungeon.requestNextDungeon()
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
