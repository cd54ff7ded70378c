-- The story after the first dungeon: then the result of the dive.
ADV_setNextScene(10)
ADV_showFace(true)
ADV_say("洞窟の奥から、外の光が見えてきた。")
ADV_say("長い探索もこれでおしまいだ。")
ADV_showFace(false)
ADV_wait(0.5)
ADV_say("さあ、帰ろう。")
