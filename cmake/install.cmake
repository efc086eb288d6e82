# What `cmake --install` puts where, and the Debian package CPack makes of it (scripts/package).
# Linux only: the Windows programs ship as the zips of scripts/package.
include(GNUInstallDirs)

# A build tree's programs find the source's tables as the zip's find theirs, in tables/ beside them.
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/tables ${CMAKE_BINARY_DIR}/tables SYMBOLIC)

if(WIN32)
    return()
endif()

file(GLOB tables ${PROJECT_SOURCE_DIR}/tables/*.tab)
install(TARGETS lettermill-recode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${tables} ${PROJECT_SOURCE_DIR}/tables/descriptions.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lettermill/tables)
# The package's name, not the project's, as CMAKE_INSTALL_DOCDIR would have it.
set(docs ${CMAKE_INSTALL_DATAROOTDIR}/doc/lettermill)
install(FILES README.md docs/copyright DESTINATION ${docs})
install(FILES tables/README.md DESTINATION ${docs}/tables)
# The tags lintian finds that the package keeps, each with its reason.
install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME lettermill)

# The manual page, from its scdoc source. Without scdoc the rest still builds and installs.
find_program(LETTERMILL_SCDOC scdoc)
if(LETTERMILL_SCDOC)
    set(manual ${CMAKE_BINARY_DIR}/lettermill-recode.1)
    add_custom_command(OUTPUT ${manual}
        COMMAND ${LETTERMILL_SCDOC} < ${PROJECT_SOURCE_DIR}/docs/lettermill-recode.1.scd > ${manual}
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/lettermill-recode.1.scd VERBATIM)
    add_custom_target(lettermill_manual ALL DEPENDS ${manual})
    install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "scdoc not found (scripts/setup installs it): no manual page is made")
endif()

# Where bash-completion looks for a command's completion, below the install prefix.
find_package(PkgConfig QUIET)
set(completions ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
if(PKG_CONFIG_FOUND)
    pkg_get_variable(found bash-completion completionsdir)
    pkg_get_variable(found_prefix bash-completion prefix)
    if(found AND found_prefix)
        cmake_path(RELATIVE_PATH found BASE_DIRECTORY ${found_prefix} OUTPUT_VARIABLE completions)
    endif()
endif()
install(FILES cli/lettermill-recode.bash DESTINATION ${completions} RENAME lettermill-recode)

file(STRINGS res/version.h version REGEX "^#define LETTERMILL_PRODUCT_VERSION ")
string(REGEX REPLACE ".*\"(.*)\"" "\\1" version "${version}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lettermill)
set(CPACK_PACKAGE_VERSION ${version})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Lettermill Workshop <lettermill@lettermill.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recode text files byte by byte through a translation table")
set(CPACK_PACKAGE_DESCRIPTION
    "lettermill-recode recodes text files through a translation table:\n\
Windows-1251 Cyrillic into Latin transliteration, or one single-byte code\n\
page into another or into UTF-8. Tables for the Cyrillic code pages are\n\
included. In place, a file is replaced only once its recoded text is on\n\
the disk.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://lettermill.example.org")
set(CPACK_STRIP_FILES ON)
# Folders root:root 0755 and files 0644, as Debian wants them, whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Debian's manual pages are compressed; a prefix install keeps its page plain, for man -l.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/compress-manual.cmake)
include(CPack)
