-- The trial dungeon's settings, read once when the dungeon is entered (on the floor worker
-- thread, without any module besides Lua).

-- Asked twice: the music playing now, then the music of the floors (started at once).
function getBGM()
    return "BGM/bgm004.ogg"
end

-- Empty: the loading picture lies in this dungeon's own folder.
function getResourceDirectory()
    return ""
end

function getTitleImage()
    return "title.png"
end
