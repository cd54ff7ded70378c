-- The patched default story (the patch archive's copy wins over the first archive's): the same
-- lines with a timed wait first.
ADV_wait(0.5)
ADV_showFace(true)
ADV_say("これはテストの物語です。")
ADV_say("キーを押すと次へ進みます。")
ADV_say("おしまい。")
