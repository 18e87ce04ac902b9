# Installation (`cmake --install`) and packages (`cpack`): a Debian package
# from a Linux build, a zip from a Windows build.
#
# Linux layout, under the prefix:  bin/daz-izezovivadezurid
#                                  share/man/man1/daz-izezovivadezurid.1.gz
#                                  share/daz-izezovivadezurid/schemas/
#                                  share/doc/daz-izezovivadezurid/README.md,
#                                    copyright (COPYRIGHT, in Debian's form),
#                                    changelog.Debian.gz, examples/
#                                  share/lintian/overrides/daz-izezovivadezurid
# Windows layout, in the zip:      daz-izezovivadezurid.exe, README.txt
#                                  (doc/README-windows.txt), THIRD-PARTY-
#                                  NOTICES.txt (COPYRIGHT), daz-izezovivadezurid
#                                  .txt (the man page as text), schemas\,
#                                  examples\; README.txt and the notices with
#                                  CRLF line ends

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

set(daz_man_page "${PROJECT_SOURCE_DIR}/doc/daz-izezovivadezurid.1")
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

install(TARGETS daz-izezovivadezurid daz-izezovivadezurid-check RUNTIME DESTINATION "${daz_bin_dir}")
install(FILES ${daz_schemas} DESTINATION "${daz_schema_dir}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/" DESTINATION "${daz_doc_dir}/examples")

# Text for the reader of each package: the Linux README and Debian's
# copyright and changelog files; for Windows a README of its own and the
# notices, with the line ends that Windows editors expect.
if(WIN32)
  function(daz_crlf_copy source destination)
    file(READ "${source}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${destination}" "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  endfunction()
  daz_crlf_copy("${PROJECT_SOURCE_DIR}/doc/README-windows.txt" "${PROJECT_BINARY_DIR}/doc/README.txt")
  daz_crlf_copy("${PROJECT_SOURCE_DIR}/COPYRIGHT"
                "${PROJECT_BINARY_DIR}/doc/THIRD-PARTY-NOTICES.txt")
  install(FILES "${PROJECT_BINARY_DIR}/doc/README.txt" "${PROJECT_BINARY_DIR}/doc/THIRD-PARTY-NOTICES.txt"
    DESTINATION "${daz_doc_dir}")
else()
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${daz_doc_dir}")
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
endif()

# The man page: compressed as Debian keeps man pages; rendered as plain text
# for Windows, where there is no man. Rendering at build time keeps one
# source; groff comes with every Debian system (groff-base), the cross-build
# host included.
if(WIN32)
  find_program(DAZ_GROFF groff)
  if(DAZ_GROFF)
    set(daz_man_text "${PROJECT_BINARY_DIR}/doc/daz-izezovivadezurid.txt")
    add_custom_command(OUTPUT "${daz_man_text}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
      COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C
              "${DAZ_GROFF}" -man -Tascii -rHY=0 -P-cbou "${daz_man_page}" > "${daz_man_text}"
      DEPENDS "${daz_man_page}"
      COMMENT "Rendering the man page as text"
      VERBATIM)
    add_custom_target(daz_man_page ALL DEPENDS "${daz_man_text}")
    install(FILES "${daz_man_text}" DESTINATION "${daz_doc_dir}")
  else()
    message(WARNING "groff not found: the package gets the man page's roff source, not its text")
    install(FILES "${daz_man_page}" DESTINATION "${daz_doc_dir}")
  endif()
else()
  find_program(DAZ_GZIP gzip REQUIRED)
  set(daz_man_gz "${PROJECT_BINARY_DIR}/doc/daz-izezovivadezurid.1.gz")
  add_custom_command(OUTPUT "${daz_man_gz}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
    COMMAND "${DAZ_GZIP}" -9n -c "${daz_man_page}" > "${daz_man_gz}"
    DEPENDS "${daz_man_page}"
    COMMENT "Compressing the man page"
    VERBATIM)
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
  # The case checker, installed beside the program, has a page of its own.
  set(daz_checker_man_gz "${PROJECT_BINARY_DIR}/doc/daz-izezovivadezurid-check.1.gz")
  add_custom_command(OUTPUT "${daz_checker_man_gz}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/doc"
    COMMAND "${DAZ_GZIP}" -9n -c "${PROJECT_SOURCE_DIR}/doc/daz-izezovivadezurid-check.1" > "${daz_checker_man_gz}"
    DEPENDS "${PROJECT_SOURCE_DIR}/doc/daz-izezovivadezurid-check.1"
    COMMENT "Compressing the case checker's man page"
    VERBATIM)
  add_custom_target(daz_man_page ALL
    DEPENDS "${daz_man_gz}" "${daz_checker_man_gz}" "${daz_changelog_gz}" "${daz_copyright}")
  install(FILES "${daz_man_gz}" "${daz_checker_man_gz}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES "${daz_changelog_gz}" "${daz_copyright}" DESTINATION "${daz_doc_dir}")
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME daz-izezovivadezurid)
endif()

# Built with the program, so that building only the program's target still
# leaves everything that the install rules take.
add_dependencies(daz-izezovivadezurid daz_man_page)

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
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  string(REPLACE "~" "-" daz_file_version "${DAZ_PACKAGE_VERSION}")
  set(CPACK_PACKAGE_FILE_NAME "daz-izezovivadezurid-${daz_file_version}-windows")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE "${DAZ_PACKAGE_REVISION}")
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DAZ_PACKAGE_MAINTAINER}")
  # The release program has the C++ runtimes and libyaml linked in; the C
  # library and anything else linked shared become dependencies through
  # dpkg-shlibdeps (Debian's dpkg-dev), with the versions the build used.
  # The case checker beside the program is linked the same way.
  find_program(DAZ_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(DAZ_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    message(STATUS "dpkg-shlibdeps not found: the Debian package's dependencies are named by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
  endif()
endif()

include(CPack)
