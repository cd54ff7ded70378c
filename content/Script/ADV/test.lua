-- The default story: three lines, a key wait and a timed wait.
ADV_showFace(true)
ADV_say("これはテストの物語です。")
ADV_say("キーを押すと次へ進みます。")
ADV_wait(1.0)
ADV_say("おしまい。")
