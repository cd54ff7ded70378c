-- The developer's dungeon list: every floor script a developer may want to start directly,
-- grouped by dungeon. The scene hands itself over in setScene; setup lists the entries.
local scene = nil

function setScene(s)
    scene = s
end

function setup()
    addParagraph(scene, "DEMO10")
    addDungeonInfo(scene, "DEMO10 1F", "Dungeon/DEMO10/00/00/001.lua")
    addDungeonInfo(scene, "DEMO10 2F", "Dungeon/DEMO10/00/00/002.lua")
    addDungeonInfo(scene, "DEMO10 3F", "Dungeon/DEMO10/00/00/003.lua")
    addParagraph(scene, "R99")
    addDungeonInfo(scene, "R99 1F", "Dungeon/R99/00/00/001.lua")
end
