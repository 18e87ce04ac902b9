# daz_fuzzing: the libFuzzer build's instrumentation. Every target of the
# project is compiled with coverage feedback and with AddressSanitizer and
# UndefinedBehaviorSanitizer (see CMakeLists.txt), so that a fault in any
# library that a fuzzer reaches ends the run. Needs clang and its runtime
# (Debian: clang-16 and libclang-rt-16-dev).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "DAZ_BUILD_FUZZERS needs clang for libFuzzer, e.g. CXX=clang++-16")
endif()
set(daz_fuzz_checks "address,undefined")
add_library(daz_fuzzing INTERFACE)
target_compile_options(daz_fuzzing INTERFACE
  -fsanitize=fuzzer-no-link,${daz_fuzz_checks} -fno-sanitize-recover=all
  -fno-omit-frame-pointer -g)
target_link_options(daz_fuzzing INTERFACE -fsanitize=${daz_fuzz_checks})
