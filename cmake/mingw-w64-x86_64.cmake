# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and std::mutex need). The libraries the game links are looked for in
# VELKARO_WIN_PREFIX (scripts/windows-deps.sh builds them there) and in MinGW's own sysroot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELKARO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELKARO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKARO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKARO_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VELKARO_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VELKARO_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# The prefix comes from the cache or the environment; try_compile projects see the
# environment only.
if(NOT VELKARO_WIN_PREFIX AND DEFINED ENV{VELKARO_WIN_PREFIX})
  set(VELKARO_WIN_PREFIX $ENV{VELKARO_WIN_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELKARO_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VELKARO_MINGW_TRIPLE})
if(VELKARO_WIN_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${VELKARO_WIN_PREFIX})
  # pkg-config looks in the prefix only, never at the build machine's own .pc files.
  set(ENV{PKG_CONFIG_LIBDIR}
    "${VELKARO_WIN_PREFIX}/lib/pkgconfig:${VELKARO_WIN_PREFIX}/share/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine when a build step or a test must start them.
find_program(VELKARO_WINE NAMES wine wine64)
if(VELKARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELKARO_WINE})
endif()
