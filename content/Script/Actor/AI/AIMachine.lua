-- The berserk player's turn, played by the game instead of the keys: strike whoever stands next
-- to the player (friend or foe alike), else stumble one cell in a random direction. The game
-- loads this script afresh for every such turn and calls AI.Machine.execution(nil, player).
AI = { Machine = {} }

-- The eight directions, clockwise from north.
local DX = { [0] = 0, 1, 1, 1, 0, -1, -1, -1 }
local DY = { [0] = -1, -1, 0, 1, 1, 1, 0, -1 }
local ATTACK_SCRIPT = "Script/Action/Attack.lua"

-- The first direction, from a random start, whose neighbour the test accepts; nil when none does.
local function pickDirection(accept)
    local start = Lua.Random.getRange(0, 7)
    for i = 0, 7 do
        local d = (start + i) % 8
        if accept(d) then
            return d
        end
    end
    return nil
end

function AI.Machine.execution(_, player)
    if player == nil or not Actor.isAlive(player) then
        return
    end
    local x, y = Actor.getCellPoint(player)
    if x == nil then
        return
    end
    local victim = pickDirection(function(d)
        return Dungeon.checkActorInCell(x + DX[d], y + DY[d]) ~= nil and
            Dungeon.checkAttackPossible(x, y, x + DX[d], y + DY[d], 1)
    end)
    if victim ~= nil then
        Actor.Status.setDirection(player, victim)
        Actor.Action.pushAction(player, ATTACK_SCRIPT)
        return
    end
    local step = pickDirection(function(d)
        return Dungeon.isMovable(player, x + DX[d], y + DY[d], true)
    end)
    if step ~= nil then
        Actor.Status.setDirection(player, step)
        Actor.Action.doMove(player, DX[step], DY[step])
    end
end
