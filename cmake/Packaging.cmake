# Installation (`cmake --install`) and packages (`cpack`): a Debian package
# from a Linux build, a zip from a Windows build.
#
# Linux layout, under the prefix:  bin/daz-izezovivadezurid
#                                  share/man/man1/daz-izezovivadezurid.1.gz
#                                  share/daz-izezovivadezurid/schemas/
#                                  share/doc/daz-izezovivadezurid/README.md
# Windows layout, in the zip:      daz-izezovivadezurid.exe, README.md,
#                                  daz-izezovivadezurid.txt (the man page as
#                                  text), schemas/

set(DAZ_PACKAGE_MAINTAINER "daz-izezovivadezurid developers" CACHE STRING
  "Maintainer named in the Debian package")

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

install(TARGETS daz-izezovivadezurid RUNTIME DESTINATION "${daz_bin_dir}")
install(FILES ${daz_schemas} DESTINATION "${daz_schema_dir}")
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${daz_doc_dir}")
install(PROGRAMS "${PROJECT_SOURCE_DIR}/scripts/check-margin-lines" DESTINATION "${daz_bin_dir}")

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
  add_custom_target(daz_man_page ALL DEPENDS "${daz_man_gz}")
  install(FILES "${daz_man_gz}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endif()

# Built with the program, so that building only the program's target still
# leaves everything that the install rules take.
add_dependencies(daz-izezovivadezurid daz_man_page)

set(CPACK_PACKAGE_NAME daz-izezovivadezurid)
set(CPACK_PACKAGE_VERSION "${DAZ_PACKAGE_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Generate a .constructionInfo file from a case JSON metadata file")
set(CPACK_PACKAGE_DESCRIPTION
  "Reads a dental case (a JSON metadata file and its margin line files) and writes the ConstructionInfo XML document that CAM software for milling machines and 3D printers reads. Comes with XML and JSON schemas of both file formats.")
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
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DAZ_PACKAGE_MAINTAINER}")
  # The release program has its runtimes and libyaml linked in; a build
  # that links them shared gets its dependencies from dpkg-shlibdeps
  # (Debian's dpkg-dev), with the versions the build used.
  find_program(DAZ_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(DAZ_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    message(STATUS "dpkg-shlibdeps not found: the Debian package's dependencies are named by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
  endif()
endif()

include(CPack)
