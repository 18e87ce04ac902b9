# daz_warnings: the strict warnings every target of the project compiles
# with. They stay warnings unless DAZ_WERROR is on: the project's scripts,
# presets and CI turn it on, so that a warning fails our builds, while a
# user's plain build with another compiler (which may warn anew, or warn
# falsely) still builds.
option(DAZ_WERROR "Treat compiler warnings as errors" OFF)

add_library(daz_warnings INTERFACE)
target_compile_options(daz_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(DAZ_WERROR)
  target_compile_options(daz_warnings INTERFACE -Werror)
endif()
