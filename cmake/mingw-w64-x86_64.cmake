# Cross-compiling for 64-bit Windows with MinGW-w64 (posix threads), linked statically, so that
# the programs need no MinGW DLLs; the tests run under Wine with a private prefix in the build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread go into each .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 keeps its loader off PATH; the wine wrapper finds it.
find_program(VARDEX_WINE wine)
find_program(VARDEX_WINESERVER wineserver)
set(VARDEX_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH
    "The Wine prefix the tests run in; made on the first test run")
if(VARDEX_WINE)
  # No Mono or Gecko downloads in a fresh prefix, and no debug chatter in the test output.
  # Under C.UTF-8 Wine's ANSI code page is 1252, so the tests show that nothing relies on 936.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env LC_ALL=C.UTF-8 "WINEPREFIX=${VARDEX_WINE_PREFIX}" WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml=" "${VARDEX_WINE}")
endif()
