-- The world map between dives: the map picture and a menu of where to go next. The game asks
-- getJumpScene every frame and changes to the scene it names (0: stay).

local kStoryInt = 100     -- the story the adventure system tells (1: the intro)
local kIntroStory = 1

local scene = nil
local bootMode = 0
local map = nil
local menu = nil
local jump = 0
-- A short line over the map (what "記録する" did), shown for a few seconds.
local notice = nil
local noticeLeft = 0
local kNoticeSeconds = 2

local function say(text)
  if notice ~= nil then
    GeneralWindow.setText(notice, text)
    noticeLeft = kNoticeSeconds
  end
end

-- A dive from the map is recorded as a replay, as a new game's dive is: the result asks
-- whether to keep it, and the title plays it back.
local function dive(script)
  Game.Replay.reset()
  Game.Replay.setMode(1)
  Game.Replay.setDungeonScript(script)
  Game.Setting.Dungeon.setDungeonScriptPath(script)
  jump = 7
end

-- Each entry: its text and what choosing it does.
local entries = {
  { "デモダンジョンに挑む", function() dive("Dungeon/DEMO10/00/00/001.lua") end },
  { "試練のダンジョンに挑む", function() dive("Dungeon/R99/00/00/001.lua") end },
  { "物語を見る", function()
      Game.Data.setGlobalInt(kStoryInt, kIntroStory)
      Game.Setting.ADV.setADVScriptFilePath("Script/ADV/Story/Intro.lua")
      jump = 8
    end },
  { "ここで物語を聞く", function()
      Game.Data.setGlobalInt(kStoryInt, 2)
      SceneLayer.pushAdventureLayer("Script/ADV/test.lua")
    end },
  { "メモを開く", function()
      SceneLayer.pushGeneralWindowLayer("Script/WorldMap/Memo.lua")
    end },
  { "映像を見る", function()
      Game.Setting.Movie.setMovieFilePath("Movie/event.ogv")
      Game.Setting.Movie.setNextScene(9)
      jump = 4
    end },
  { "宣伝を見る", function() jump = 12 end },
  { "開発者メニュー", function() jump = 1 end },
  { "記録する", function()
      save()
      say("記録しました。")
    end },
  { "タイトルに戻る", function() jump = 5 end },
}

local function choose(index)
  local entry = entries[index + 1]
  if entry ~= nil then
    entry[2]()
  end
end

function setScene(s)
  scene = s
end

function initialize(mode)
  bootMode = mode
  map = Graphics.createTextureFromFile("WorldMap/map.png")
  menu = GeneralWindow.newWindow("Default")
  if menu ~= nil then
    GeneralWindow.setWindowMode(menu, 1)
    GeneralWindow.setShowTitle(menu, true)
    GeneralWindow.setTitle(menu, "どこへ行きますか？")
    -- Wide enough for the longest entry, "デモダンジョンに挑む", in the game's font; the rows
    -- start 76 pixels down and the last keeps 24 pixels clear of the bottom edge.
    GeneralWindow.setWindowSize(menu, 380, 100 + 40 * #entries)
    GeneralWindow.setLocation(menu, 400, 60)
    for _, entry in ipairs(entries) do
      GeneralWindow.addListItemEx(menu, entry[1], choose)
    end
    GeneralWindow.setSelectItemIndex(menu, 0)
  end
  notice = GeneralWindow.newWindow("Default")
  if notice ~= nil then
    GeneralWindow.setWindowMode(notice, 0)
    GeneralWindow.setShowTitle(notice, false)
    GeneralWindow.setWindowSize(notice, 320, 128)
    GeneralWindow.setLocation(notice, 40, 60)
  end
end

function update(dt)
  -- The menu only takes keys while no layer lies over the map.
  if menu ~= nil and SceneLayer.getLayerCount() == 0 then
    GeneralWindow.update(menu, dt)
  end
  noticeLeft = math.max(noticeLeft - dt, 0)
end

function getJumpScene()
  local n = jump
  jump = 0
  return n
end

function draw()
  if map ~= nil then
    Graphics.SpriteDraw.draw(map, 0, 0, 800, 600, 0, 0, 800, 600, 0, 1, 1, 1, 1)
  end
  if menu ~= nil then
    GeneralWindow.draw(menu)
  end
  if notice ~= nil and noticeLeft > 0 then
    GeneralWindow.draw(notice)
  end
end
