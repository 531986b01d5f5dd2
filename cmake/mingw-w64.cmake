# Cross build for 64-bit Windows with MinGW-w64 (posix threads); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

find_program(TC_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(TC_MINGW_CC x86_64-w64-mingw32-gcc-posix)
find_program(TC_WINDRES x86_64-w64-mingw32-windres)
find_program(TC_WINE NAMES wine wine64 PATHS /usr/lib/wine)
foreach(tool TC_MINGW_CXX TC_MINGW_CC TC_WINDRES TC_WINE)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: run tools/bootstrap to install MinGW-w64 (posix) and Wine")
  endif()
endforeach()

set(CMAKE_C_COMPILER ${TC_MINGW_CC})
set(CMAKE_CXX_COMPILER ${TC_MINGW_CXX})
set(CMAKE_RC_COMPILER ${TC_WINDRES})
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)

# Every cross-built test executable runs in the build's own Wine prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
