# The floors rule, checked on every build: a file in src/ includes only from its own floor or
# the floors below it. Run as
#   cmake -DSOURCE_DIR=<tree> -P check_floors.cmake
# and fails, naming each include that reaches upward or sideways, or a folder this table does
# not know (a new folder takes its place here first).
#
cmake_minimum_required(VERSION 3.25)

# What the files of each folder may include, by folder of the included file:
set(sb_allowed_platform platform)
set(sb_allowed_platform/sim platform platform/sim)
set(sb_allowed_platform/win32 platform platform/win32)
set(sb_allowed_ports platform ports)
set(sb_allowed_disk platform ports disk)
set(sb_allowed_volumes platform ports volumes)
set(sb_allowed_ui platform ports disk volumes ui)
set(sb_allowed_ui/win32 platform platform/win32 ports disk volumes ui ui/win32)

file(GLOB_RECURSE sb_files RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
list(SORT sb_files)
set(sb_faults 0)
foreach(sb_file IN LISTS sb_files)
  get_filename_component(sb_folder ${sb_file} DIRECTORY)
  if(NOT DEFINED sb_allowed_${sb_folder})
    message(SEND_ERROR "src/${sb_file}: the folder ${sb_folder} has no floor in check_floors.cmake")
    math(EXPR sb_faults "${sb_faults} + 1")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${sb_file} sb_lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(sb_line IN LISTS sb_lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" sb_included "${sb_line}")
    get_filename_component(sb_included_folder "${sb_included}" DIRECTORY)
    # A name without a folder is a file of the same folder.
    if(sb_included_folder STREQUAL "")
      continue()
    endif()
    if(NOT sb_included_folder IN_LIST sb_allowed_${sb_folder})
      message(SEND_ERROR "src/${sb_file}: includes \"${sb_included}\", above or beside its floor "
                         "(${sb_folder} may include from: ${sb_allowed_${sb_folder}})")
      math(EXPR sb_faults "${sb_faults} + 1")
    endif()
  endforeach()
endforeach()
if(sb_faults GREATER 0)
  message(FATAL_ERROR "${sb_faults} fault(s) against the floors rule")
endif()
