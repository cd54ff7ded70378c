-- The shopkeeper, spoken to, settles up: what the player has put down in the shop is bought,
-- then the goods the player carries are paid for when the money suffices. The talk ends at
-- once; the log tells the outcome. The parameter is the actor talked to.
Game.Action = {}

local keeper = nil

function Game.Action.initialize(actor)
    keeper = actor
end

local function say(text)
    Dungeon.addLogMessage(Actor.getName(keeper) .. "「" .. text .. "」")
end

function Game.Action.startAction()
    local offered = Dungeon.Shop.getTotalBuyPrice()
    if offered > 0 then
        Dungeon.Shop.buyItem()
        say(offered .. "円で買い取りましょう。")
    end
    local owed = Dungeon.Shop.getTotalSellPrice()
    if owed > 0 then
        if Game.Data.getPlayerMoney() >= owed then
            Dungeon.Shop.sellItem()
            say(owed .. "円いただきます。まいどあり！")
        else
            say("お代は" .. owed .. "円です。お金が足りませんよ。")
        end
    elseif offered <= 0 then
        say("いらっしゃいませ。")
    end
end

function Game.Action.updateAction(dt)
    return false
end

function Game.Action.endAction()
end

function Game.Action.drawAction()
end
