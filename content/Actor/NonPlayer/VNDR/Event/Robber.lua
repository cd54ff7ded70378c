-- The robber's story: the shopkeeper has noticed the player leaving without paying.
ADV_showFace(true)
ADV_say("店主「おっと、お代がまだですぜ！」")
ADV_say("店主「泥棒には痛い目を見てもらいましょう。」")
ADV_showFace(false)
