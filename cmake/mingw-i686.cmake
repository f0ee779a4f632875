# Cross-build for 32-bit x86 Windows with Debian's mingw-w64 GCC (see mingw-gcc.cmake).
set(SB_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)
# Lets CTest run the 32-bit test programs here: only the second Wine runs them
# (scripts/wow64-setup); Debian 12's cannot on this kernel.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wow64/wine)
