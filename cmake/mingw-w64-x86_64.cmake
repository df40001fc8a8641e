# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix) and runs what it builds, tests included, under
# Wine (package wine64). Only the libraries without a GUI are built this way.
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUOR_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex come with it.
set(CMAKE_C_COMPILER ${QUOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime goes into each program, so that Wine runs it
# without being told where the mingw DLLs are.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine's 64-bit loader itself: /usr/bin/wine only picks it after a complaint
# about the missing 32-bit half.
find_program(QUOR_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QUOR_WINE NAMES wine64 wine)
if(QUOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUOR_WINE})
endif()

# Qt for Windows is not to be had here: the GUI folders stay out.
set(QUOR_GUI OFF CACHE BOOL "Build the Qt-based folders" FORCE)
