# Installation (`cmake --install`) and packages (`cpack`): a Debian package
# from a Linux build, a zip from a Windows build. scripts/package.sh makes
# both from a clean export of the last commit, with Debian's build flags for
# the .deb.
#
# Linux layout, under the prefix:  bin/<each program>
#                                  share/man/man1/<each program>.1.gz
#                                  share/daz-izezovivadezurid/schemas/
#                                  share/doc/daz-izezovivadezurid/README.md.gz,
#                                    catalog-reference.md.gz, copyright
#                                    (COPYRIGHT, in Debian's form),
#                                    changelog.Debian.gz, examples/
#                                  share/lintian/overrides/daz-izezovivadezurid
# Windows layout, in the zip:      <each program>.exe (a Python script as
#                                  <name>.py), README.txt
#                                  (doc/README-windows.txt), THIRD-PARTY-
#                                  NOTICES.txt (COPYRIGHT), <each program>.txt
#                                  (its man page as text, with the zip's
#                                  paths), schemas\, examples\; every text
#                                  but the examples' with CRLF line ends

# The Debian revision: the package is built from the project's sources as a
# Debian package of them would be, with its own changelog.Debian.gz.
set(DAZ_PACKAGE_REVISION "1" CACHE STRING "Debian revision of the Debian package")
set(DAZ_PACKAGE_MAINTAINER
  "daz-izezovivadezurid maintainers <maintainers@daz-izezovivadezurid.invalid>" CACHE STRING
  "Maintainer of the Debian package: a name and a contact address, 'Name <address>'")
# Build folders made before the maintainer had an address keep the old
# default in their cache; it is replaced by the new one.
if(DAZ_PACKAGE_MAINTAINER STREQUAL "daz-izezovivadezurid developers")
  set_property(CACHE DAZ_PACKAGE_MAINTAINER PROPERTY VALUE
    "daz-izezovivadezurid maintainers <maintainers@daz-izezovivadezurid.invalid>")
endif()
if(NOT DAZ_PACKAGE_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
  message(WARNING "DAZ_PACKAGE_MAINTAINER='${DAZ_PACKAGE_MAINTAINER}' is not 'Name <address>': "
    "the Debian package's Maintainer field would be malformed")
endif()

# The programs that both packages ship, each with its man page
# doc/<name>.1: targets of this build, and scripts installed as they are.
# A Python script makes python3 a dependency of the Debian package and is
# shipped as <name>.py in the Windows zip, where Windows finds its
# interpreter by that extension. The install rules, the man pages, the
# dependencies and the stripping of the .deb's programs follow this list.
set(daz_program_targets daz-izezovivadezurid daz-izezovivadezurid-check)
set(daz_program_scripts "")

set(daz_schemas
  "${PROJECT_SOURCE_DIR}/schemas/constructionInfo.xsd"
  "${PROJECT_SOURCE_DIR}/schemas/case-metadata.schema.json"
  "${PROJECT_SOURCE_DIR}/schemas/case-metadata.strict.schema.json")

if(WIN32)
  set(daz_bin_dir .)
  set(daz_schema_dir schemas)
  set(daz_doc_dir .)
else()
  include(GNUInstallDirs)
  set(daz_bin_dir "${CMAKE_INSTALL_BINDIR}")
  set(daz_schema_dir "${CMAKE_INSTALL_DATADIR}/daz-izezovivadezurid/schemas")
  set(daz_doc_dir "${CMAKE_INSTALL_DOCDIR}")
endif()

set(daz_program_names ${daz_program_targets})
set(daz_python_scripts "")
install(TARGETS ${daz_program_targets} RUNTIME DESTINATION "${daz_bin_dir}")
foreach(script IN LISTS daz_program_scripts)
  get_filename_component(name "${script}" NAME)
  list(APPEND daz_program_names "${name}")
  file(STRINGS "${script}" interpreter LIMIT_COUNT 1)
  if(interpreter MATCHES "^#!.*python3")
    list(APPEND daz_python_scripts "${name}")
  endif()
  if(WIN32 AND interpreter MATCHES "^#!.*python3")
    install(PROGRAMS "${script}" DESTINATION "${daz_bin_dir}" RENAME "${name}.py")
  else()
    install(PROGRAMS "${script}" DESTINATION "${daz_bin_dir}")
  endif()
endforeach()
install(FILES ${daz_schemas} DESTINATION "${daz_schema_dir}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/" DESTINATION "${daz_doc_dir}/examples")

# Text for the reader of each package: for Debian the README and the
# catalog reference, compressed as Debian's policy asks of documents over
# 4 kB, with their links to files that the package does not install made
# plain text, and Debian's copyright and changelog files; for Windows a
# README of its own and the notices, with the line ends that Windows
# editors expect.
function(daz_crlf_copy source destination)
  file(READ "${source}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${destination}" "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()
set(daz_doc_outputs "")
if(WIN32)
  daz_crlf_copy("${PROJECT_SOURCE_DIR}/doc/README-windows.txt" "${PROJECT_BINARY_DIR}/doc/README.txt")
  daz_crlf_copy("${PROJECT_SOURCE_DIR}/COPYRIGHT"
                "${PROJECT_BINARY_DIR}/doc/THIRD-PARTY-NOTICES.txt")
  install(FILES "${PROJECT_BINARY_DIR}/doc/README.txt" "${PROJECT_BINARY_DIR}/doc/THIRD-PARTY-NOTICES.txt"
    DESTINATION "${daz_doc_dir}")
else()
  find_program(DAZ_GZIP gzip REQUIRED)
  # Debian's changelog: one entry for the version built, dated by
  # SOURCE_DATE_EPOCH when set, so that two builds give the same bytes.
  string(TIMESTAMP daz_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(daz_changelog "${PROJECT_BINARY_DIR}/doc/changelog.Debian")
  file(WRITE "${daz_changelog}.new" "daz-izezovivadezurid (${DAZ_PACKAGE_VERSION}-${DAZ_PACKAGE_REVISION}) unstable; urgency=medium

  * Built from the project's sources; see its version control history for
    the changes.

 -- ${DAZ_PACKAGE_MAINTAINER}  ${daz_changelog_date}
")
  file(COPY_FILE "${daz_changelog}.new" "${daz_changelog}" ONLY_IF_DIFFERENT)
  set(daz_changelog_gz "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz")
  add_custom_command(OUTPUT "${daz_changelog_gz}"
    COMMAND "${DAZ_GZIP}" -9n -c "${daz_changelog}" > "${daz_changelog_gz}"
    DEPENDS "${daz_changelog}"
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
  set(daz_copyright "${PROJECT_BINARY_DIR}/doc/copyright")
  add_custom_command(OUTPUT "${daz_copyright}"
    COMMAND "${CMAKE_COMMAND}" -DSOURCE=${PROJECT_SOURCE_DIR}/COPYRIGHT -DOUTPUT=${daz_copyright}
            -P "${PROJECT_SOURCE_DIR}/cmake/DebianCopyrightScript.cmake"
    DEPENDS "${PROJECT_SOURCE_DIR}/COPYRIGHT" "${PROJECT_SOURCE_DIR}/cmake/DebianCopyrightScript.cmake"
    COMMENT "Writing the Debian copyright file"
    VERBATIM)
  list(APPEND daz_doc_outputs "${daz_changelog_gz}" "${daz_copyright}")
  # Each document: SOURCE|NAME, where NAME is its name in the documents'
  # folder; a link from one to another becomes a link to NAME.gz.
  set(daz_documents "README.md|README.md" "doc/catalog-reference.md|catalog-reference.md")
  foreach(document IN LISTS daz_documents)
    string(REPLACE "|" ";" document "${document}")
    list(GET document 0 source)
    list(GET document 1 name)
    set(output "${PROJECT_BINARY_DIR}/doc/${name}.gz")
    add_custom_command(OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" "-DSOURCE=${PROJECT_SOURCE_DIR}/${source}" "-DOUTPUT=${output}"
              "-DDOCUMENTS=${daz_documents}" "-DGZIP=${DAZ_GZIP}"
              -P "${PROJECT_SOURCE_DIR}/cmake/DebianDocumentScript.cmake"
      DEPENDS "${PROJECT_SOURCE_DIR}/${source}" "${PROJECT_SOURCE_DIR}/cmake/DebianDocumentScript.cmake"
      COMMENT "Writing ${name}.gz"
      VERBATIM)
    list(APPEND daz_doc_outputs "${output}")
  endforeach()
  install(FILES ${daz_doc_outputs} DESTINATION "${daz_doc_dir}")
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME daz-izezovivadezurid)
endif()

# The man pages: compressed as Debian keeps man pages; for Windows, where
# there is no man, rendered as text with the zip's paths (-rwindows=1) and
# CRLF line ends. Rendering at build time keeps one source; groff comes with
# every Debian system (groff-base), the cross-build host included.
if(WIN32)
  find_program(DAZ_GROFF groff)
  if(NOT DAZ_GROFF)
    message(WARNING "groff not found: the package gets the man pages' roff source, not their text")
  endif()
endif()
foreach(name IN LISTS daz_program_names)
  set(page "${PROJECT_SOURCE_DIR}/doc/${name}.1")
  if(WIN32 AND DAZ_GROFF)
    set(output "${PROJECT_BINARY_DIR}/doc/${name}.txt")
    add_custom_command(OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
      COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C
              "${DAZ_GROFF}" -man -Tascii -rHY=0 -rwindows=1 -P-cbou "${page}" > "${output}.lf"
      COMMAND "${CMAKE_COMMAND}" "-DSOURCE=${output}.lf" "-DOUTPUT=${output}"
              -P "${PROJECT_SOURCE_DIR}/cmake/CrlfScript.cmake"
      DEPENDS "${page}" "${PROJECT_SOURCE_DIR}/cmake/CrlfScript.cmake"
      COMMENT "Rendering the man page of ${name} as text"
      VERBATIM)
  elseif(WIN32)
    set(output "${page}")
  else()
    set(output "${PROJECT_BINARY_DIR}/doc/${name}.1.gz")
    add_custom_command(OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
      COMMAND "${DAZ_GZIP}" -9n -c "${page}" > "${output}"
      DEPENDS "${page}"
      COMMENT "Compressing the man page of ${name}"
      VERBATIM)
  endif()
  list(APPEND daz_doc_outputs "${output}")
  if(WIN32)
    install(FILES "${output}" DESTINATION "${daz_doc_dir}")
  else()
    install(FILES "${output}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  endif()
endforeach()
add_custom_target(daz_documents ALL DEPENDS ${daz_doc_outputs})

# Built with the program, so that building only the program's target still
# leaves everything that the install rules take.
add_dependencies(daz-izezovivadezurid daz_documents)

set(CPACK_PACKAGE_NAME daz-izezovivadezurid)
set(CPACK_PACKAGE_VERSION "${DAZ_PACKAGE_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Generate a .constructionInfo file from a case JSON metadata file")
# Wrapped as Debian's control file wants it (lines under 80 columns).
set(CPACK_PACKAGE_DESCRIPTION "Reads a dental case (a JSON metadata file and its margin line files)
and writes the ConstructionInfo XML document that CAM software for
milling machines and 3D printers reads. Comes with XML and JSON schemas
of both file formats, and example cases.")
set(CPACK_PACKAGE_CONTACT "${DAZ_PACKAGE_MAINTAINER}")

if(WIN32)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_GENERATOR ZIP)
  # The version as it is everywhere else (CONTRIBUTING.md, "Versions").
  set(CPACK_PACKAGE_FILE_NAME "daz-izezovivadezurid-${DAZ_PACKAGE_VERSION}-windows")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE "${DAZ_PACKAGE_REVISION}")
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DAZ_PACKAGE_MAINTAINER}")
  # The manual checks documents with xmllint.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libxml2-utils")
  # The programs are stripped as Debian strips them, their debug symbols
  # kept apart (cmake/DebianStripScript.cmake).
  set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/DebianStripScript.cmake")
  set(CPACK_DAZ_PROGRAMS "${daz_program_targets}")
  set(CPACK_DAZ_DEBUG_DIR "${PROJECT_BINARY_DIR}/debug")
  # The release program has the C++ runtimes and libyaml linked in; the C
  # library and anything else linked shared (the checker's admesh) become
  # dependencies through dpkg-shlibdeps (Debian's dpkg-dev), with the
  # versions the build used.
  # A Python script among the programs needs python3.
  set(daz_depends "")
  if(daz_python_scripts)
    set(daz_depends "python3")
  endif()
  find_program(DAZ_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(DAZ_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    message(STATUS "dpkg-shlibdeps not found: the Debian package's dependencies are named by hand")
    # The checker's STL reader, admesh, is linked shared (Debian has no
    # static admesh).
    list(PREPEND daz_depends libc6 libadmesh1)
  endif()
  list(JOIN daz_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()

include(CPack)
