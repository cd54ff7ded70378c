-- The extras: stored results of the three rankings, the event movie, the developer and test
-- scenes, the promotion and the way back to the title. Scenes opened here come back to it.

local scene = nil
local menu = nil
local tests = nil
local showingTests = false
local back = nil

local kTitle = 5

-- The fifteen ranking records: score 0-4, time 5-9, turns 10-14.
local function showRanking(index)
  if setResultInfo(index) then
    jumpScene(scene, 10)
  end
end

local entries = {
  { "スコアの記録 1位", function() showRanking(0) end },
  { "スコアの記録 2位", function() showRanking(1) end },
  { "スコアの記録 3位", function() showRanking(2) end },
  { "タイムの記録 1位", function() showRanking(5) end },
  { "ターンの記録 1位", function() showRanking(10) end },
  { "映像を見る", function()
      Game.Setting.Movie.setMovieFilePath("Movie/event.ogv")
      Game.Setting.Movie.setNextScene(11)
      jumpScene(scene, 4)
    end },
  { "開発者メニュー", function() jumpScene(scene, 1) end },
  { "テストシーン", function() showingTests = true end },
  { "宣伝を見る", function() jumpScene(scene, 12) end },
  { "タイトルに戻る", function() jumpScene(scene, kTitle) end },
}

local function choose(index)
  local entry = entries[index + 1]
  if entry ~= nil then
    entry[2]()
  end
end

-- The developer's test scenes; none of them leaves by itself.
local testScenes = {
  { "文字のテスト", 15 },
  { "スプライトのテスト", 16 },
  { "入力のテスト", 17 },
  { "音のテスト", 18 },
  { "アニメーションのテスト", 19 },
  { "スクリプトのテスト", 20 },
}

local function chooseTest(index)
  local entry = testScenes[index + 1]
  if entry ~= nil then
    jumpScene(scene, entry[2])
  else
    showingTests = false
  end
end

function initialize(s)
  scene = s
  back = Graphics.createTextureFromFile("Menu/Title/title.png")
  menu = GeneralWindow.newWindow("Default")
  if menu ~= nil then
    GeneralWindow.setWindowMode(menu, 1)
    GeneralWindow.setShowTitle(menu, true)
    GeneralWindow.setTitle(menu, "おまけ")
    -- The rows start 76 pixels down; the last keeps 24 pixels clear of the bottom edge.
    GeneralWindow.setWindowSize(menu, 360, 100 + 40 * #entries)
    GeneralWindow.setLocation(menu, 220, 60)
    for _, entry in ipairs(entries) do
      GeneralWindow.addListItemEx(menu, entry[1], choose)
    end
    GeneralWindow.setSelectItemIndex(menu, 0)
  end
  tests = GeneralWindow.newWindow("Default")
  if tests ~= nil then
    GeneralWindow.setWindowMode(tests, 1)
    GeneralWindow.setShowTitle(tests, true)
    GeneralWindow.setTitle(tests, "テストシーン")
    GeneralWindow.setWindowSize(tests, 440, 400)
    GeneralWindow.setLocation(tests, 220, 100)
    for _, entry in ipairs(testScenes) do
      GeneralWindow.addListItemEx(tests, entry[1], chooseTest)
    end
    GeneralWindow.addListItemEx(tests, "もどる", chooseTest)
    GeneralWindow.setSelectItemIndex(tests, 0)
  end
end

local KEY_CANCEL = 6

-- Cancel steps back as the last entry of each list does: from the test scenes to the extras,
-- from the extras to the title.
local function cancelled()
  return InputSystem.isPush(InputSystem.getVirtualKey(), KEY_CANCEL)
end

function update(dt)
  if showingTests and tests ~= nil then
    if cancelled() then
      showingTests = false
      return
    end
    GeneralWindow.update(tests, dt)
  elseif menu ~= nil then
    if cancelled() then
      jumpScene(scene, kTitle)
      return
    end
    GeneralWindow.update(menu, dt)
  end
end

function onComeBack(n)
  if menu ~= nil then
    GeneralWindow.setSelectItemIndex(menu, 0)
  end
  showingTests = false
end

function draw()
  if back ~= nil then
    Graphics.SpriteDraw.draw(back, 0, 0, 800, 600, 0, 0, 800, 600, 0, 0.5, 0.5, 0.5, 1)
  end
  if menu ~= nil then
    GeneralWindow.draw(menu)
  end
  if showingTests and tests ~= nil then
    GeneralWindow.draw(tests)
  end
end
