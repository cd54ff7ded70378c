-- The story after the first dungeon: then the result of the dive. Told again from the world
-- map, it leads back to the map: only the demo dungeon's last stairs ask for the result
-- (global int 101), and the request is used up here.
local AFTER_STORY_INT = 101
local RESULT_SCENE, WORLD_MAP_SCENE = 10, 9
local after = Game.Data.getGlobalInt(AFTER_STORY_INT)
Game.Data.setGlobalInt(AFTER_STORY_INT, 0)
ADV_setNextScene(after == RESULT_SCENE and RESULT_SCENE or WORLD_MAP_SCENE)
ADV_showFace(true)
ADV_say("洞窟の奥から、外の光が見えてきた。")
ADV_say("長い探索もこれでおしまいだ。")
ADV_showFace(false)
ADV_wait(0.5)
ADV_say("さあ、帰ろう。")
