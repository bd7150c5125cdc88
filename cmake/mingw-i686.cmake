# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_ASM_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows test programs through Wine; every test is given
# WINE_ENVIRONMENT, the one of cmake/wine.env, its prefix within this build.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/wine.env WINE_ENVIRONMENT REGEX "^[A-Z]")
list(TRANSFORM WINE_ENVIRONMENT REPLACE "^WINEPREFIX=" "WINEPREFIX=${CMAKE_BINARY_DIR}/")
