# Cross-build for 32-bit x86 Windows with Debian's mingw-w64 GCC (see mingw-gcc.cmake).
set(SB_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)
if(EXISTS /usr/lib/wine/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
endif()
