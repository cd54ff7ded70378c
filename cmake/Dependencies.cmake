# Every dependency comes from a Debian package that scripts/setup installs.
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
# Xlib, which SDL drives the display with: the window stand-in replaces its exit-on-error handlers.
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
find_package(Boost 1.74 REQUIRED COMPONENTS regex)
if(ORVEX_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(ORVEX_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
# Lua 5.1 and the chunk compiler that matches it.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1)
include(${CMAKE_CURRENT_LIST_DIR}/LuaChunks.cmake)
# Data build tools: font baking (FreeType, fontconfig) and movie encoding (Ogg Theora + Vorbis).
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbis)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)
pkg_check_modules(THEORAENC REQUIRED IMPORTED_TARGET theoraenc)
pkg_check_modules(THEORADEC REQUIRED IMPORTED_TARGET theoradec)
# Streamed music decoding (libvorbisfile over our own stream callbacks).
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
# Image decoding and PNG writing (the stb library package).
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
# Save and replay files are zlib streams.
find_package(ZLIB REQUIRED)
