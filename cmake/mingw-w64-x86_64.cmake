# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix
# threads variant: GCC 12 with the same C++23 library as on Linux). The
# program is linked statically, so the .exe needs no DLL beyond Windows' own.
# Libraries for the target come from the mingw sysroot and from the prefix
# named by the cache variable DAZ_WINDOWS_DEPS (the Windows presets pass
# build/windows-deps, which scripts/windows-deps.sh fills); the host's
# headers and libraries are never searched.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DAZ_WINDOWS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DAZ_WINDOWS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DAZ_WINDOWS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DAZ_WINDOWS_TRIPLE}-windres)

set(DAZ_WINDOWS_DEPS "" CACHE PATH
  "Prefix holding the Windows builds of the dependencies (made by scripts/windows-deps.sh)")
# CMake's compiler checks read this file again in a project of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DAZ_WINDOWS_DEPS)
if(NOT DAZ_WINDOWS_DEPS)
  message(FATAL_ERROR "Set DAZ_WINDOWS_DEPS to the folder that scripts/windows-deps.sh prepares "
    "(build/windows-deps), or configure with a Windows preset, which does.")
endif()
get_filename_component(DAZ_WINDOWS_PREFIX "${DAZ_WINDOWS_DEPS}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${DAZ_WINDOWS_TRIPLE} "${DAZ_WINDOWS_PREFIX}")
set(CMAKE_PREFIX_PATH "${DAZ_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${DAZ_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Test programs (and gtest's discovery of their tests) run under Wine.
get_filename_component(DAZ_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${DAZ_WINE_RUN}")
