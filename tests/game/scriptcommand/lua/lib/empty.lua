emptyRan = true
