# Cross-build for 32-bit x86 Windows with clang (see clang-mingw.cmake).
set(SB_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
