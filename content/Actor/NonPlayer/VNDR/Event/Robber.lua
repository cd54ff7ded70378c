-- The robber story: told when the player walks out of a shop with goods not paid for. The
-- floor has already called the guards and changed the music.
ADV_showFace(true)
ADV_say("店主「あっ！　お代をまだいただいていませんよ！」")
ADV_say("店主「泥棒だー！　番人さん、お願いします！」")
ADV_showFace(false)
ADV_wait(0.5)
ADV_say("どこからか番人たちが駆けつけてくる……！")
