# daz_libstdcxx_compat: what a compiler needs to use this libstdc++.
# libstdc++ 12 offers <expected> only where __cpp_concepts reads 202002L.
# Clang 16 implements the concepts that <expected> uses but still reports
# 201907L, so for clang the value is raised, and only when <expected> does
# not compile as it is. Every target of the project gets it (see
# CMakeLists.txt); with g++ it is empty.
include(CheckCXXSourceCompiles)
add_library(daz_libstdcxx_compat INTERFACE)
set(daz_expected_probe "#include <expected>
int main() { std::expected<int, int> value{1}; return *value - 1; }")
check_cxx_source_compiles("${daz_expected_probe}" DAZ_EXPECTED_COMPILES)
if(NOT DAZ_EXPECTED_COMPILES AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(CMAKE_REQUIRED_FLAGS "-D__cpp_concepts=202002L -Wno-macro-redefined")
  check_cxx_source_compiles("${daz_expected_probe}" DAZ_EXPECTED_COMPILES_WITH_CONCEPTS)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT DAZ_EXPECTED_COMPILES_WITH_CONCEPTS)
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} cannot compile <expected>; use clang 16 or g++ 12")
  endif()
  target_compile_options(daz_libstdcxx_compat INTERFACE -D__cpp_concepts=202002L -Wno-macro-redefined)
endif()
