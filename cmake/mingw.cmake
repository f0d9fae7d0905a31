# Cross-compiling to Windows with Debian's MinGW-w64.
#   VELOTUNE_ARCH     i686 (the shipped folder, and the tests where 32-bit runs) or
#                     x86_64 (the tests' fallback where only 64-bit Wine runs)
#   VELOTUNE_THREADS  win32 for what ships: the posix model links winpthreads into every
#                     C++ program, and winpthreads imports functions of Vista, XP and the
#                     NT family only; posix for test programs (GoogleTest needs std::mutex)
set(VELOTUNE_ARCH i686 CACHE STRING "i686 or x86_64")
set(VELOTUNE_THREADS win32 CACHE STRING "win32 (shipped files) or posix (test programs)")
set(triple ${VELOTUNE_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELOTUNE_ARCH})
set(CMAKE_C_COMPILER ${triple}-gcc-${VELOTUNE_THREADS})
set(CMAKE_CXX_COMPILER ${triple}-g++-${VELOTUNE_THREADS})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-exec)
