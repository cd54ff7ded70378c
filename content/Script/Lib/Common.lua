-- Numbers the game's scripts share: scene numbers, virtual keys, the codes the title's "update"
-- returns, global-integer slots; and a guarded call for functions a host may lack.
-- Load it with: local Common = Lua.require("Script.Lib.Common")

local Common = {}

-- Scene numbers, as the scene factory knows them.
Common.SCENE = {
    SELECTOR = 1, START_UP = 2, LOGO = 3, MOVIE = 4, TITLE = 5, PLAY_DEMO = 6, DUNGEON = 7,
    ADVENTURE = 8, WORLD_MAP = 9, RESULT = 10, EXTRA = 11, PROMOTION = 12,
}

-- The twelve virtual keys of the game (config.ini binds them).
Common.KEY = {
    UP = 0, RIGHT = 1, DOWN = 2, LEFT = 3, MENU = 4, DECIDE = 5, CANCEL = 6, TURN = 7,
    SHOOT = 8, DIAGONAL = 9, MAP = 10, SPARE = 11,
}

-- What the title's "update" returns.
Common.TITLE = {
    NONE = 0, NEW_GAME = 1, LOAD = 2, SAVE = 3, ACKNOWLEDGE = 4, REPLAY = 5, QUIT = 6, EXTRAS = 7,
}

-- Global-integer slots of the game data with a fixed meaning.
Common.GLOBAL_INT = {
    SUSPEND_ID = 16,
    NEXT_SCENE = 17,
    WORLD_MAP_BOOT = 18,
}

-- Calls table[name](...) when the host attached a module that has it; nil otherwise.
function Common.call(module, name, ...)
    if module ~= nil and module[name] ~= nil then
        return module[name](...)
    end
    return nil
end

-- The text of a number of seconds as "m:ss".
function Common.minutesAndSeconds(seconds)
    local s = math.floor(tonumber(seconds) or 0)
    return string.format("%d:%02d", math.floor(s / 60), s % 60)
end

return Common
