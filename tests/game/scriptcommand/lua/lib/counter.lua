requireCount = (requireCount or 0) + 1
