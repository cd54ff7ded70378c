-- Every item kind of the game: its ID and the folder of its scripts ("setup.lua" there fills
-- the item when one is made). Runs once at start-up, before the game data exist, so nothing
-- here may touch Game.Data.
--
-- Categories (set by each kind's own setup.lua): 1 shield, 2 weapon, 3 tag, 4 card,
-- 5 hollow, 6 amulet, 7 money, 8 cake, 9 power, 10 drug, 11 other, 12 trap, 13 newspaper.
local kinds = {
    { 20,  "Item/Amulet/AMU20/" },      -- the worn-out amulet an amulet turns into
    { 100, "Item/Weapon/WPN01/" },
    { 110, "Item/Shield/SHD01/" },
    { 120, "Item/Amulet/AMU01/" },
    { 300, "Item/Tag/TAG01/" },
    { 310, "Item/Card/CRD01/" },
    { 400, "Item/Hollow/HOL01/" },
    { 500, "Item/Money/MNY01/" },
    { 600, "Item/Cake/CAK01/" },
    { 610, "Item/Power/PWR01/" },
    { 620, "Item/Drug/DRG01/" },
    { 630, "Item/Drug/DRG02/" },
    { 700, "Item/Other/STR01/" },       -- stairs down
    { 701, "Item/Other/STR02/" },       -- stairs back up
    { 800, "Item/Trap/TRP01/" },
    { 900, "Item/Newspaper/NWS01/" },
}

function setup(factory)
    for _, kind in ipairs(kinds) do
        addItemInfo(factory, kind[1], kind[2])
    end
end
