# Every target links daz_warnings so that the whole tree builds with the same
# strict flags; a warning is a build failure.
add_library(daz_warnings INTERFACE)
target_compile_options(daz_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
  -Werror)
