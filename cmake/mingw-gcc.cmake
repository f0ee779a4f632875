# Cross-build for Windows with Debian's mingw-w64 GCC (posix threads flavour). Included by
# mingw-x86_64.cmake and mingw-i686.cmake, which name SB_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${SB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SB_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
