-- The stairs out of the demo dungeon's last floor: the run is recorded as cleared, the story
-- scene is told the intro (global int 100 chooses the story) and to go on to the result, the
-- result then goes on to the world map, and the floor is left for the scene the floor names
-- (the story).
Game.Action = {}

local STORY_INT = 100
local INTRO_STORY = 1
-- The scene the intro story leads to (it leads back to the world map when told from there).
local AFTER_STORY_INT = 101
local RESULT_SCENE = 10
local WORLD_MAP_SCENE = 9

function Game.Action.initialize(actor, item)
end

function Game.Action.startAction()
    Game.Setting.Result.setR30Cleared(true)
    Game.Setting.Result.setLastFloorNumber(Dungeon.getFloorNumber())
    Game.Setting.Result.setLastFloorName("デモダンジョン")
    Game.Setting.Result.setNextScene(WORLD_MAP_SCENE)
    Game.Data.setGlobalInt(STORY_INT, INTRO_STORY)
    Game.Data.setGlobalInt(AFTER_STORY_INT, RESULT_SCENE)
    Game.Setting.ADV.setADVScriptFilePath("Script/ADV/Story/Intro.lua")
    Dungeon.requestNextDungeon()
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
