# Cross-build for 64-bit Windows with Debian's mingw-w64 GCC (see mingw-gcc.cmake).
set(SB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)
# Lets CTest run the Windows test programs here, on the Wine that SB_WINE names when they
# run (scripts/wine).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine)
