// The object that GoogleTest's precompiled header is made for.
