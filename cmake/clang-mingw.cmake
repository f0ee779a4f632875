# Cross-build for Windows with Debian's clang on mingw-w64's headers, C++ library and
# runtime: the second compiler of the project. Included by clang-mingw-x86_64.cmake and
# clang-mingw-i686.cmake, which name SB_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
string(REPLACE "-w64-mingw32" "-w64-windows-gnu" sb_clang_target ${SB_MINGW_TRIPLE})
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${sb_clang_target})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${sb_clang_target})
set(CMAKE_RC_COMPILER ${SB_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian's clang looks for mingw-w64's GCC under a version directory and misses Debian's
# "12-posix" one, so the C++ library's headers and archives are named here; the posix
# flavour's C++ library needs winpthread. lld links, as GNU ld is not clang's for this
# target.
file(GLOB sb_gcc_dirs /usr/lib/gcc/${SB_MINGW_TRIPLE}/*-posix)
list(SORT sb_gcc_dirs)
list(POP_BACK sb_gcc_dirs sb_gcc_dir)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${sb_gcc_dir}/include/c++ -isystem ${sb_gcc_dir}/include/c++/${SB_MINGW_TRIPLE}")
# lld takes archives in any order, so winpthread can be named before the objects.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${sb_gcc_dir} -lpthread")
endforeach()
