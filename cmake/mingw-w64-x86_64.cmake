# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix) and runs what it builds, tests included, under
# Wine (package wine). Without Qt for Windows only the libraries without a
# GUI are built; with the one tools/build-qt-windows.sh makes, everything.
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         [-DQUOR_QT_WINDOWS=~/.cache/quor/qt6-mingw-6.4.2]
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

# Qt for Windows, when given and complete (tools/build-qt-windows.sh marks it).
set(QUOR_QT_WINDOWS "" CACHE PATH "Qt for Windows built by tools/build-qt-windows.sh")
set(QUOR_WINDOWS_QT OFF)
if(QUOR_QT_WINDOWS AND EXISTS "${QUOR_QT_WINDOWS}/.complete")
  set(QUOR_WINDOWS_QT ON)
endif()
set(QUOR_MINGW_RUNTIME /usr/lib/gcc/${QUOR_MINGW_PREFIX}/12-posix /usr/${QUOR_MINGW_PREFIX}/lib)

if(QUOR_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH "${QUOR_QT_WINDOWS}")
  list(APPEND CMAKE_PREFIX_PATH "${QUOR_QT_WINDOWS}")
  # moc, uic and rcc are the host's, of the same version.
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
else()
  # The compiler's own runtime goes into each program, so that Wine runs it
  # without being told where the mingw DLLs are. With Qt the programs share
  # the DLLs of the runtime Qt itself loads: one C++ runtime in the process.
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Wine's 64-bit loader itself: /usr/bin/wine only picks it after a complaint
# about the missing 32-bit half.
find_program(QUOR_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QUOR_WINE NAMES wine64 wine)
if(QUOR_WINE)
  # Through a wrapper that tries again a start Wine itself fumbled, and that
  # lets Wine find the DLLs of Qt and of the mingw runtime.
  set(QUOR_WINE_DLLS "")
  if(QUOR_WINDOWS_QT)
    list(JOIN QUOR_MINGW_RUNTIME ":" runtime)
    set(QUOR_WINE_DLLS "--dlls=${QUOR_QT_WINDOWS}/bin:${runtime}")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${QUOR_WINE_DLLS} ${QUOR_WINE})
endif()

# Follows the Qt at hand, also in a build folder configured before it was.
if(QUOR_WINDOWS_QT)
  set(QUOR_GUI ON CACHE BOOL "Build the Qt-based folders" FORCE)
else()
  set(QUOR_GUI OFF CACHE BOOL "Build the Qt-based folders" FORCE)
endif()
