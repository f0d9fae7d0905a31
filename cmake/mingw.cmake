# Cross-compiling to Windows with Debian's MinGW-w64 (posix thread model: GoogleTest
# needs std::mutex). VELOTUNE_ARCH picks the target:
#   x86_64  the build that runs here: tests and demo under 64-bit Wine
#   i686    the 32-bit build of the shipped folder
# Both come from the same sources.
set(VELOTUNE_ARCH x86_64 CACHE STRING "i686 or x86_64")
set(triple ${VELOTUNE_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELOTUNE_ARCH})
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-exec)
