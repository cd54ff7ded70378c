-- The memo window over the world map: the window is the layer's own; key 6 closes it.
function update(dt)
end
