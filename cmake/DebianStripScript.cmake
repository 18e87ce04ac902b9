# Run by CPack on the staged Debian package before packing it: strips each
# program (CPACK_DAZ_PROGRAMS, under usr/bin) as Debian's dh_strip does,
# without the comment and note sections that lintian finds unneeded, and
# keeps its debug symbols in CPACK_DAZ_DEBUG_DIR/<program>.debug, which the
# stripped program names (gdb finds it there or through its build ID).
find_program(objcopy NAMES objcopy REQUIRED)
find_program(strip NAMES strip REQUIRED)
file(MAKE_DIRECTORY "${CPACK_DAZ_DEBUG_DIR}")
foreach(program IN LISTS CPACK_DAZ_PROGRAMS)
  set(binary "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/${program}")
  set(debug "${CPACK_DAZ_DEBUG_DIR}/${program}.debug")
  if(NOT EXISTS "${binary}")
    message(FATAL_ERROR "${binary} is not in the package")
  endif()
  foreach(step
      "${objcopy};--only-keep-debug;--compress-debug-sections;${binary};${debug}"
      "${strip};--remove-section=.comment;--remove-section=.note;${binary}"
      "${objcopy};--add-gnu-debuglink=${debug};${binary}")
    execute_process(COMMAND ${step} RESULT_VARIABLE status WORKING_DIRECTORY "${CPACK_DAZ_DEBUG_DIR}")
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "failed: ${step}")
    endif()
  endforeach()
endforeach()
