-- The adventure system: the story's lines in a window over a background and a face. The story
-- runs as a coroutine that shares these globals; the ADV_* functions below are its commands and
-- yield whenever the story has to wait.

-- Read and written by the game: keywait, status (2 while the story runs), skip_effect.
current_scene = { keywait = 0, status = 0 }
function current_scene.skip_effect(_)
  -- The game passes something here; nothing to cut short in this system.
end

-- Which story to tell: global int 100 (0 is the robber's), set by whoever opens the dialogue.
local kStoryInt = 100
local stories = {
  [0] = "Actor/NonPlayer/VNDR/Event/Robber.lua",
  [1] = "Script/ADV/Story/Intro.lua",
  [2] = "Script/ADV/test.lua",
}

local window = nil
local background = nil
local face = nil
local faceShown = false
local started = false
local pending = nil   -- the wait the story asked for, handed to the game at the next update
local waiting = nil   -- the key wait that goes on until the game resumes the story

-- Story commands -------------------------------------------------------------------------

-- Shows the line and waits for the decide key.
function ADV_say(text)
  if window ~= nil then
    GeneralWindow.setText(window, text)
  end
  pending = { 3, 0.2, false }
  coroutine.yield()
end

-- Waits the time without a key.
function ADV_wait(seconds)
  pending = { 3, seconds, true }
  coroutine.yield()
end

function ADV_showFace(shown)
  faceShown = shown
end

-- Where the adventure scene goes when the story ends.
function ADV_setNextScene(scene)
  Game.Setting.ADV.setNextScene(scene)
end

-- Hooks of the game ----------------------------------------------------------------------

function setup(context1, context2)
  window = GeneralWindow.newWindow("Default")
  if window ~= nil then
    GeneralWindow.setWindowMode(window, 0)
    GeneralWindow.setShowTitle(window, false)
    GeneralWindow.setWindowSize(window, 760, 160)
    GeneralWindow.setLocation(window, 20, 420)
    GeneralWindow.setText(window, "")
  end
  background = Graphics.createTextureFromFile("ADV/bg.png")
  face = Graphics.createTextureFromFile("ADV/face.png")
end

function update(dt)
  if window ~= nil then
    GeneralWindow.update(window, dt)
  end
  if not started then
    started = true
    local story = stories[Game.Data.getGlobalInt(kStoryInt)] or stories[2]
    return 1, -1, story
  end
  if pending ~= nil then
    local command = pending
    pending = nil
    waiting = { 3, -1, command[3] }
    current_scene.status = 0
    return command[1], command[2], command[3]
  end
  -- The game resumes the story at once; a story resumed that asked for no further wait has
  -- returned, and the dialogue is over.
  if current_scene.status == 2 then
    return 0, -1, false
  end
  return waiting[1], waiting[2], waiting[3]
end

function draw()
  if background ~= nil then
    Graphics.SpriteDraw.draw(background, 0, 0, 800, 600, 0, 0, 800, 600, 0, 1, 1, 1, 1)
  end
  if face ~= nil and faceShown then
    Graphics.SpriteDraw.draw(face, 24, 160, 280, 416, 0, 0, 256, 256, 0, 1, 1, 1, 1)
  end
  if window ~= nil then
    GeneralWindow.draw(window)
  end
end
