-- Appended to the first floor's script for one floor run: the same seeded layout, but instead
-- of the floor's sleeping enemies one slime, placed awake in the first room two cells right
-- and one up of the start, so it comes for the player at once.
function getInitialEnemyCount() return 0 end
function getMaxAutoGenerateEnemyCount() return 0 end

local placeItems = setup
function setup()
    placeItems()
    Dungeon.createEnemy("Actor/Enemy/SLIM/SLIM01/", 13, 7)
    return true
end
