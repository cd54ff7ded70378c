-- Fights as the attack, item and trap scripts write them: fill the target's damage calculator,
-- run it with the lines going to the log, and hand back its result
-- (isHit, isCritical, fDamage, iDamage, damageSource).
Battle = Battle or {}

local SOURCE_ACTOR = 1
local SOURCE_ITEM = 2
local ON_DAMAGE_SCRIPT = "Script/Lib/Game/Action/Action/CallOnDamageAction.lua"

local function run(target, sourceType, source, name, forceHit)
    DamageCalculate.DamageParam.setLogMessage(target, true)
    if name ~= nil then
        DamageCalculate.execute(target, sourceType, source, name, forceHit == true)
    else
        DamageCalculate.execute(target, sourceType, source)
    end
    return DamageCalculate.getDamageResult(target)
end

-- A blow of the attacker against the target; `name` (optional) names the weapon in the log.
function Battle.blow(attacker, target, name, forceHit)
    DamageCalculate.setBlowDamageParam(target)
    return run(target, SOURCE_ACTOR, attacker, name, forceHit)
end

-- A shot of the shooter against the target: a blow from afar, without the weapon's factor.
function Battle.shot(shooter, target, name, forceHit)
    DamageCalculate.setDanmakuDamageParam(target, 0, 0)
    return run(target, SOURCE_ACTOR, shooter, name, forceHit)
end

-- A blow of an item (thrown, or a trap) against the target.
function Battle.itemBlow(item, target, name, forceHit)
    DamageCalculate.setBlowDamageParam(target)
    return run(target, SOURCE_ITEM, item, name or Item.getName(item), forceHit)
end

-- A fixed change of the target's life: negative hurts, positive heals. The game follows up
-- only hits whose damage is above zero, and a fixed hurt is a damage below zero, so a hurt is
-- followed up here: its number rises, and a target it killed dies and rewards its killer.
function Battle.fixed(sourceType, source, target, value, name)
    DamageCalculate.setFixedDamageParam(target, value)
    local result = run(target, sourceType, source, name)
    if result.isHit and result.fDamage < 0 then
        Actor.Action.pushAction(target, ON_DAMAGE_SCRIPT)
    end
    return result
end

-- One of the target's numbers ("level", "maxLife", "life", "maxHungerPoint", "hungerPoint",
-- "maxForce", "force") changed by `value`.
function Battle.status(sourceType, source, target, key, value)
    DamageCalculate.setActorStatusDamageParam(target, { key = key, value = value })
    return run(target, sourceType, source)
end

-- One of an item's numbers or flags ("attack", "defense", "slotCount", "curse", "blessed",
-- "frozen", "unidentified") changed by `value`, against the target who holds it.
function Battle.itemStatus(sourceType, source, target, item, key, value)
    DamageCalculate.setItemStatusDamageParam(target, { item = item, key = key, value = value })
    return run(target, sourceType, source)
end

-- The log line of an item put to use before its effect: "旅人は回復薬を飲んだ。", with the item as
-- the player knows it (an unnamed drug by its look).
function Battle.tellUse(user, item, verb)
    Dungeon.addLogMessage(string.format("<0:COLOR>%s</COLOR>は%sを%s", Actor.getName(user),
        Item.getDisplayName(item, true), verb))
end

-- A drug's kind is known once its effect was seen: its look gives way to its name.
function Battle.identifyUsed(item)
    if Item.getUnidentified(item) then
        Item.identify(item)
        Dungeon.addLogMessage(Item.getDisplayName(item, true) .. "だとわかった。")
    end
end

Battle.SOURCE_ACTOR = SOURCE_ACTOR
Battle.SOURCE_ITEM = SOURCE_ITEM
