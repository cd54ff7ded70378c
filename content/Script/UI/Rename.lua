-- The naming screen of an unidentified item: a soft keyboard. The arrows move over the grid,
-- the decide key types the character under the cursor (or runs the command there), the cancel
-- key deletes the last character and, with nothing typed, leaves without a change. "決定"
-- gives the item the typed name.

local KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_DECIDE, KEY_CANCEL = 0, 1, 2, 3, 5, 6
local MAX_LENGTH = 10
local COLUMNS = 10
local CELL_WIDTH = 48

local PAGES = {
    {
        {"あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ"},
        {"さ", "し", "す", "せ", "そ", "た", "ち", "つ", "て", "と"},
        {"な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ"},
        {"ま", "み", "む", "め", "も", "や", "ゆ", "よ", "わ", "を"},
        {"ら", "り", "る", "れ", "ろ", "ん", "が", "ぎ", "ぐ", "げ"},
        {"ご", "ざ", "じ", "ず", "ぜ", "ぞ", "だ", "ぢ", "づ", "で"},
        {"ど", "ば", "び", "ぶ", "べ", "ぼ", "ぱ", "ぴ", "ぷ", "ぺ"},
        {"ぽ", "ぁ", "ぃ", "ぅ", "ぇ", "ぉ", "ゃ", "ゅ", "ょ", "っ"},
    },
    {
        {"ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ"},
        {"サ", "シ", "ス", "セ", "ソ", "タ", "チ", "ツ", "テ", "ト"},
        {"ナ", "ニ", "ヌ", "ネ", "ノ", "ハ", "ヒ", "フ", "ヘ", "ホ"},
        {"マ", "ミ", "ム", "メ", "モ", "ヤ", "ユ", "ヨ", "ワ", "ヲ"},
        {"ラ", "リ", "ル", "レ", "ロ", "ン", "ガ", "ギ", "グ", "ゲ"},
        {"ゴ", "ザ", "ジ", "ズ", "ゼ", "ゾ", "ダ", "ヂ", "ヅ", "デ"},
        {"ド", "バ", "ビ", "ブ", "ベ", "ボ", "パ", "ピ", "プ", "ペ"},
        {"ポ", "ァ", "ィ", "ゥ", "ェ", "ォ", "ャ", "ュ", "ョ", "ッ"},
    },
}
-- The last row: the long vowel mark and the commands.
local COMMANDS = {"ー", "カナ", "消す", "決定"}
local COMMAND_COLUMNS = {0, 2, 5, 8}

local target = nil
local nameWindow, keyWindow = nil, nil
local typed = {}
local page, row, column = 1, 1, 1
local running = true
local keys = nil
local sounds = {}

local function sound(index)
    local source = sounds[index]
    if source ~= nil then
        Audio.playNew(source)
    end
end

local function rowCount()
    return #PAGES[page] + 1
end

local function onCommandRow()
    return row == rowCount()
end

-- The command under the cursor on the last row: its index, or the nearest one to the left.
local function commandIndex()
    local found = 1
    for i, start in ipairs(COMMAND_COLUMNS) do
        if column - 1 >= start then
            found = i
        end
    end
    return found
end

local function nameText()
    return table.concat(typed) .. "_"
end

local function keyboardText()
    local lines = {}
    for r, cells in ipairs(PAGES[page]) do
        local line = ""
        for c, cell in ipairs(cells) do
            local text = cell
            if r == row and c == column then
                text = "<1:COLOR>" .. cell .. "</COLOR>"
            end
            line = line .. "<#" .. ((c - 1) * CELL_WIDTH) .. ":POSX>" .. text
        end
        lines[#lines + 1] = line
    end
    local line = ""
    local chosen = onCommandRow() and commandIndex() or 0
    for i, command in ipairs(COMMANDS) do
        local text = command
        if i == chosen then
            text = "<1:COLOR>" .. command .. "</COLOR>"
        end
        line = line .. "<#" .. (COMMAND_COLUMNS[i] * CELL_WIDTH) .. ":POSX>" .. text
    end
    lines[#lines + 1] = line
    return table.concat(lines, "\n")
end

local function refresh()
    GeneralWindow.setText(nameWindow, nameText())
    GeneralWindow.setText(keyWindow, keyboardText())
end

local function typeCharacter(character)
    if #typed < MAX_LENGTH then
        typed[#typed + 1] = character
        sound(0)
    end
end

-- Leaves the screen; with `name` the item takes it.
local function finish(name)
    if name ~= nil and name ~= "" and target ~= nil then
        Item.setTemporaryName(target, name)
    end
    running = false
end

local function decide()
    if not onCommandRow() then
        typeCharacter(PAGES[page][row][column])
        return
    end
    local command = COMMANDS[commandIndex()]
    if command == "ー" then
        typeCharacter("ー")
    elseif command == "カナ" then
        page = page == 1 and 2 or 1
        sound(0)
    elseif command == "消す" then
        typed[#typed] = nil
        sound(1)
    else
        sound(0)
        finish(table.concat(typed))
    end
end

local function move(dx, dy)
    row = (row - 1 + dy) % rowCount() + 1
    column = (column - 1 + dx) % COLUMNS + 1
    sound(2)
end

function setup(item)
    target = item
    nameWindow = GeneralWindow.newWindow("Default")
    keyWindow = GeneralWindow.newWindow("Default")
    if nameWindow == nil or keyWindow == nil then
        running = false
        return
    end
    GeneralWindow.setWindowMode(nameWindow, 0)
    GeneralWindow.setShowTitle(nameWindow, true)
    GeneralWindow.setTitle(nameWindow, "名前")
    GeneralWindow.setLocation(nameWindow, 100, 40)
    GeneralWindow.setWindowSize(nameWindow, 600, 128)
    GeneralWindow.setWindowMode(keyWindow, 0)
    GeneralWindow.setLocation(keyWindow, 100, 180)
    GeneralWindow.setWindowSize(keyWindow, 600, 72 + 30 * rowCount())
    if InputSystem ~= nil then
        keys = InputSystem.getVirtualKey()
    end
    if Audio ~= nil and Audio.createAudioSource ~= nil then
        for index = 0, 2 do
            sounds[index] = Audio.createAudioSource("SE/SystemSE/se00" .. index .. ".wav", 0)
        end
    end
    refresh()
end

function update(dt)
    if not running then
        return false
    end
    if keys ~= nil then
        if InputSystem.isPush(keys, KEY_CANCEL) then
            if #typed == 0 then
                sound(1)
                finish(nil)
                return false
            end
            typed[#typed] = nil
            sound(1)
        elseif InputSystem.isPush(keys, KEY_DECIDE) then
            decide()
        elseif InputSystem.isRepeat(keys, KEY_UP) then
            move(0, -1)
        elseif InputSystem.isRepeat(keys, KEY_DOWN) then
            move(0, 1)
        elseif InputSystem.isRepeat(keys, KEY_LEFT) then
            move(-1, 0)
        elseif InputSystem.isRepeat(keys, KEY_RIGHT) then
            move(1, 0)
        end
    end
    if not running then
        return false
    end
    refresh()
    GeneralWindow.update(nameWindow, dt)
    GeneralWindow.update(keyWindow, dt)
    return true
end

function draw()
    if nameWindow ~= nil then
        GeneralWindow.draw(nameWindow)
        GeneralWindow.draw(keyWindow)
    end
end
