# embed_text(TARGET target SOURCE file SYMBOL name)
# Compiles the bytes of a text file into TARGET as
#   extern const std::string_view <name>;
# so the program never opens the file at run time.
function(embed_text)
  cmake_parse_arguments(ARG "" "TARGET;SOURCE;SYMBOL" "" ${ARGN})
  get_filename_component(source "${ARG_SOURCE}" ABSOLUTE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded_${ARG_SYMBOL}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -DSOURCE=${source} -DOUTPUT=${output} -DSYMBOL=${ARG_SYMBOL}
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedTextScript.cmake"
    DEPENDS "${source}" "${PROJECT_SOURCE_DIR}/cmake/EmbedTextScript.cmake"
    COMMENT "Embedding ${ARG_SOURCE}"
    VERBATIM)
  target_sources(${ARG_TARGET} PRIVATE "${output}")
endfunction()
