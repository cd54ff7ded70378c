-- The title screen: the picture over the looping movie, the logo with its glint, the title
-- music and the menu. "update" returns what the player chose; the scene carries it out and
-- answers loads and saves through "setResult" (0 success, anything else failure).

local Common = Lua.require("Script.Lib.Common")
local Anim = Lua.dofile("Script/Lib/Anim.lua")
local CODE = Common.TITLE

local MENU_X, MENU_Y = 280, 284
local SKY_BOTTOM = 240
local SKY_STRIPS = 12
local MESSAGE_SECONDS = 2.5

local picture = nil
local logo = nil
local menu = nil
local replays = nil    -- the list of replay files while it is open
local message = nil    -- a text window telling the outcome of a choice
local messageLeft = 0.0
local chosen = CODE.NONE
local pending = nil    -- what "setResult" will report on
local replayName = ""
local saveExists = false

local function showMessage(text)
    GeneralWindow.setText(message, text)
    messageLeft = MESSAGE_SECONDS
end

local function choose(code)
    chosen = code
end

local function closeReplays()
    if replays ~= nil then
        GeneralWindow.deleteWindow(replays)
        replays = nil
    end
end

local function chooseReplay(name)
    replayName = name
    closeReplays()
    choose(CODE.REPLAY)
end

-- The replay files in "Replay/", newest name last.
local function replayFiles()
    local names = {}
    for _, name in ipairs(Lua.dir("Replay/*.lrd")) do
        if name ~= "." and name ~= ".." then
            names[#names + 1] = name
        end
    end
    table.sort(names)
    return names
end

local function openReplays()
    local names = replayFiles()
    if #names == 0 then
        showMessage("リプレイがありません。")
        return
    end
    replays = GeneralWindow.newWindow("Default")
    GeneralWindow.setWindowMode(replays, 1)
    GeneralWindow.setShowTitle(replays, true)
    GeneralWindow.setTitle(replays, "リプレイ")
    GeneralWindow.setLocation(replays, 200, 120)
    -- A list's rows start 76 pixels down under a title, 36 without; 24 more keep the last row
    -- clear of the bottom edge.
    GeneralWindow.setWindowSize(replays, 460, 100 + 40 * math.min(#names, 8))
    for _, name in ipairs(names) do
        GeneralWindow.addListItemEx(replays, name, chooseReplay, name)
    end
    GeneralWindow.setSelectItemIndex(replays, #names - 1)
end

local function buildMenu()
    menu = GeneralWindow.newWindow("Default")
    GeneralWindow.setWindowMode(menu, 1)
    GeneralWindow.setShowTitle(menu, false)
    GeneralWindow.setLocation(menu, MENU_X, MENU_Y)
    GeneralWindow.setWindowSize(menu, 240, 60 + 40 * 6)
    GeneralWindow.addListItemEx(menu, "はじめから", choose, CODE.NEW_GAME)
    GeneralWindow.addListItemEx(menu, "ロード", choose, CODE.LOAD)
    GeneralWindow.addListItemEx(menu, "セーブ", choose, CODE.SAVE)
    GeneralWindow.addListItem(menu, "リプレイ")
    GeneralWindow.addListItemEx(menu, "おまけ", choose, CODE.EXTRAS)
    GeneralWindow.addListItemEx(menu, "おわる", choose, CODE.QUIT)
    GeneralWindow.setSelectItemIndex(menu, 0)

    message = GeneralWindow.newWindow("Default")
    GeneralWindow.setWindowMode(message, 0)
    GeneralWindow.setShowTitle(message, false)
    GeneralWindow.setLocation(message, 200, 180)
    GeneralWindow.setWindowSize(message, 400, 80)
end

function initialize(hasCommonSave)
    saveExists = hasCommonSave and true or false
    picture = Graphics.createTextureFromFile("Menu/Title/title.png")
    logo = MossbellLib.newObject()
    Anim.buildStrip(logo, "Menu/Title/logo.png", 512, 128, { 2.6, 0.12 }, "Glint")
    buildMenu()
    if saveExists then
        GeneralWindow.setSelectItemIndex(menu, 1)
    end
    Game.System.playBGM("BGM/bgm001.ogg", false)
end

-- A new game does not know its drugs: each shows a look of its own until the player names it.
local UNKNOWN_DRUGS = {
    { 620, "みどりの薬" },
    { 630, "むらさきの薬" },
}
local function hideDrugs()
    Game.Data.resetUnidentifiedItemInfo()
    for _, drug in ipairs(UNKNOWN_DRUGS) do
        Game.Data.addUnidentifiedItemInfo(drug[1], drug[2], true)
    end
end

-- The list entry "リプレイ" carries no callback: the list of files opens from here.
local function menuDecided()
    return GeneralWindow.getSelectedItemIndex(menu) == 3
        and InputSystem.isPush(InputSystem.getVirtualKey(), Common.KEY.DECIDE)
end

function update(dt)
    local seconds = tonumber(dt) or 0
    MossbellLib.update(logo, seconds)
    if messageLeft > 0 then
        messageLeft = messageLeft - seconds
        if messageLeft <= 0 or InputSystem.isPush(InputSystem.getVirtualKey(), Common.KEY.DECIDE) then
            messageLeft = 0
            return CODE.ACKNOWLEDGE
        end
        return CODE.NONE
    end
    if replays ~= nil then
        if InputSystem.isPush(InputSystem.getVirtualKey(), Common.KEY.CANCEL) then
            closeReplays()
        else
            GeneralWindow.update(replays, seconds)
        end
    else
        GeneralWindow.update(menu, seconds)
        if menuDecided() then
            openReplays()
        end
    end
    local code = chosen
    chosen = CODE.NONE
    if code == CODE.NEW_GAME then
        hideDrugs()
    end
    pending = code
    return code
end

function setResult(result)
    local ok = tonumber(result) == 0
    if pending == CODE.LOAD then
        showMessage(ok and "ロードしました。" or "ロードできませんでした。")
        if ok then
            saveExists = true
        end
    elseif pending == CODE.SAVE then
        showMessage(ok and "セーブしました。" or "セーブできませんでした。")
    elseif pending == CODE.REPLAY and not ok then
        showMessage("リプレイを読めませんでした。")
    end
    pending = nil
end

function getReplayFileName()
    return replayName
end

-- Called from the frame's render queue: everything is drawn at once.
function draw()
    if picture ~= nil then
        -- The sky lets the movie through, less and less towards the horizon; the land below is
        -- solid.
        local strip = SKY_BOTTOM / SKY_STRIPS
        for i = 0, SKY_STRIPS - 1 do
            local top = i * strip
            local alpha = 0.6 + 0.4 * (i + 1) / SKY_STRIPS
            Graphics.SpriteDraw.draw(picture, 0, top, 800, top + strip, 0, top, 800, top + strip, 0,
                                     1.0, 1.0, 1.0, alpha)
        end
        Graphics.SpriteDraw.draw(picture, 0, SKY_BOTTOM, 800, 600, 0, SKY_BOTTOM, 800, 600, 0, 1.0, 1.0, 1.0, 1.0)
    end
    MossbellLib.draw(logo, 144, 40)
    GeneralWindow.draw(menu)
    if replays ~= nil then
        GeneralWindow.draw(replays)
    end
    if messageLeft > 0 then
        GeneralWindow.draw(message)
    end
end
