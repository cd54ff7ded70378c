return "first", "last"
