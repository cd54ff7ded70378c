-- How the traveller grows. Experience raises the level at fixed totals, and every level, however
-- it is reached (experience or the card of luck), brings more life and a stronger blow.
Growth = Growth or {}

-- Total experience a level needs: level 2 at 10, then each level needs 10 more than the last.
function Growth.experienceFor(level)
    local steps = math.max(0, level - 1)
    return 5 * steps * (steps + 1)
end

local LIFE_PER_LEVEL = 4
local ATTACK_PER_LEVEL = 1

-- What `levels` new levels bring: the added life is also healed, so a level-up in a fight helps.
function Growth.raise(actor, levels)
    if levels <= 0 then
        return
    end
    local s = Actor.Status
    s.setMaxLife(actor, s.getMaxLife(actor) + LIFE_PER_LEVEL * levels)
    s.setLife(actor, s.getLife(actor) + LIFE_PER_LEVEL * levels)
    s.setAttack(actor, s.getAttack(actor) + ATTACK_PER_LEVEL * levels)
end

-- Experience gained: every total passed is a level, told in the log.
function Growth.gainExperience(actor, worth)
    local s = Actor.Status
    s.setEXP(actor, s.getEXP(actor) + worth)
    local from = s.getLevel(actor)
    local level = from
    while s.getEXP(actor) >= Growth.experienceFor(level + 1) do
        level = level + 1
    end
    s.setLevel(actor, level)
    level = s.getLevel(actor)  -- the level has a ceiling
    if level > from then
        Growth.raise(actor, level - from)
        Dungeon.addLogMessage(string.format("<0:COLOR>%s</COLOR>はレベル<1:COLOR>%d</COLOR>になった！",
            Actor.getName(actor), level))
    end
end

-- A level reached without experience (the card): the experience catches up with it, so the
-- next level is earned from there.
function Growth.levelReached(actor, from)
    local s = Actor.Status
    local level = s.getLevel(actor)
    Growth.raise(actor, level - from)
    s.setEXP(actor, math.max(s.getEXP(actor), Growth.experienceFor(level)))
end

return Growth
