-- A monster house: a room packed with enemies that doze until the player walks in.
local ENEMIES = { "Actor/Enemy/SLIM/SLIM01/", "Actor/Enemy/MOBB/MOBB01/" }
local ENEMY_COUNT = 6

-- Logged with "だ！" when the player enters.
function getHouseName()
    return "モンスターハウス"
end

function getBGMFilePath()
    return "BGM/bgm004.ogg"
end

function setup(room)
    -- The dozing and the turn order know a monster house by this kind.
    Map.Room.setRoomType(room, 1)
    for i = 1, ENEMY_COUNT do
        local x, y = Dungeon.getRandomRoomPoint(room, true)
        Dungeon.createEnemy(ENEMIES[(i - 1) % #ENEMIES + 1], x, y)
    end
    return true
end
