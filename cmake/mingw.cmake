# What both Windows toolchains share: Debian's mingw-w64 compilers and
# resource compiler for ZORVAK_MINGW_PREFIX, and their own libraries and
# headers only.  Included by mingw-i686.cmake and mingw-x86_64.cmake.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZORVAK_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${ZORVAK_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${ZORVAK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZORVAK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
