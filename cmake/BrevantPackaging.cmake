# The Debian packages (cpack -G DEB in a Release build configured with
# -DCMAKE_INSTALL_PREFIX=/usr), one per install component, split as Debian splits a program
# and its libraries:
#   brevant          the program, the document viewer, their data, desktop entries, icons and
#                    the file type of the documents
#   libharlix1       libharlix.so.1            libharlix-dev    headers, .so link, CMake, .pc
#   libmailvane1     libmailvane.so.1          libmailvane-dev  the same for the mail control
# The local service is not packaged: it stands in for the subscription service in the demo and
# the tests, and a user who installed it would take it for the real one (its install rule is
# the component "service", EXCLUDE_FROM_ALL).
# scripts/lint-packages builds them and judges them with lintian and desktop-file-validate;
# scripts/check-packages installs and purges them.
set(BREVANT_DEB_DIR ${PROJECT_SOURCE_DIR}/packaging/deb)
set(BREVANT_DEB_PACKAGES brevant libharlix1 libharlix-dev libmailvane1 libmailvane-dev)

# The Debian revision comes from the changelog's latest entry, whose upstream part must be the
# project's version: the package says what the changelog says.
file(STRINGS ${BREVANT_DEB_DIR}/changelog _top LIMIT_COUNT 1)
if(NOT _top MATCHES "^brevant \\(([^)-]+)-([^)]+)\\) ")
    message(FATAL_ERROR "packaging/deb/changelog: no version in its first line: ${_top}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/deb/changelog describes ${CMAKE_MATCH_1}, the project is "
                        "${PROJECT_VERSION}: add an entry for this version")
endif()
set(BREVANT_DEB_REVISION ${CMAKE_MATCH_2})

# Every package carries its copyright (machine-readable) and the changelog, compressed as
# Debian wants it: gzip -9 without name or time stamp, so the same source gives the same bytes.
set(_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian)
add_custom_command(OUTPUT ${_changelog}.gz
                   COMMAND ${CMAKE_COMMAND} -E copy ${BREVANT_DEB_DIR}/changelog ${_changelog}
                   COMMAND gzip -9nf ${_changelog}
                   DEPENDS ${BREVANT_DEB_DIR}/changelog VERBATIM)
add_custom_target(brevant_deb_changelog ALL DEPENDS ${_changelog}.gz)
# As with the manual pages: a tree built only for the programs still installs whole.
if(TARGET brevant)
    add_dependencies(brevant brevant_deb_changelog)
endif()
foreach(pkg IN LISTS BREVANT_DEB_PACKAGES)
    install(FILES ${BREVANT_DEB_DIR}/copyright ${_changelog}.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${pkg} COMPONENT ${pkg})
    # lintian's overrides, with their reasons: those of every package, then the package's own.
    set(_overrides ${BREVANT_DEB_DIR}/lintian-overrides/all)
    if(EXISTS ${BREVANT_DEB_DIR}/lintian-overrides/${pkg})
        list(APPEND _overrides ${BREVANT_DEB_DIR}/lintian-overrides/${pkg})
    endif()
    set(_text "")
    foreach(f IN LISTS _overrides)
        file(READ ${f} _part)
        string(APPEND _text "${_part}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${f})
    endforeach()
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/packaging/lintian-overrides/${pkg} CONTENT "${_text}"
         @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/lintian-overrides/${pkg}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${pkg})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${BREVANT_DEB_PACKAGES})
set(CPACK_PACKAGE_NAME brevant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Brevant Desktop developers <brevant@velmora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BREVANT_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The packages' own libraries are found in the build tree, not among installed packages; the
# dependencies on them come from the component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/commonlib ${CMAKE_BINARY_DIR}/mailcontrol)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# Descriptions: the first line is the summary (under 80 characters), the others the long
# description, one string each (a CMake list would put ";" into the text).
set(CPACK_DEBIAN_BREVANT_PACKAGE_NAME brevant)
set(CPACK_DEBIAN_BREVANT_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_BREVANT_DEPENDS libharlix1 libmailvane1)
# Documents, web pages and mail addresses open through xdg-open.
set(CPACK_DEBIAN_BREVANT_PACKAGE_RECOMMENDS xdg-utils)
string(CONCAT CPACK_DEBIAN_BREVANT_DESCRIPTION
       "construction bid projects: search, track and open their documents\n"
       "Brevant Desktop is for estimators at contracting firms. It searches a\n"
       "subscription service for construction projects open for bidding, keeps the\n"
       "chosen ones in a local database and current with the service, downloads and\n"
       "opens their plan sets, specification sections and addenda, and prints, copies\n"
       "and mails reports of them.\n"
       "\n"
       "The package also holds brevant-viewer, which shows the project documents.")

set(CPACK_DEBIAN_LIBHARLIX1_PACKAGE_NAME libharlix1)
set(CPACK_DEBIAN_LIBHARLIX1_PACKAGE_SECTION libs)
string(CONCAT CPACK_DEBIAN_LIBHARLIX1_DESCRIPTION
       "Harlix common functions library of Brevant Desktop\n"
       "Harlix offers small system services to programs: settings kept in a text\n"
       "file, the state of the Internet connection, system information, opening\n"
       "documents with the desktop's programs and utilities.\n"
       "\n"
       "This package holds the shared library.")
set(CPACK_DEBIAN_LIBHARLIX-DEV_PACKAGE_NAME libharlix-dev)
set(CPACK_DEBIAN_LIBHARLIX-DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_LIBHARLIX-DEV_DEPENDS libharlix1)
string(CONCAT CPACK_DEBIAN_LIBHARLIX-DEV_DESCRIPTION
       "Harlix common functions library of Brevant Desktop (development files)\n"
       "Harlix offers small system services to programs: settings kept in a text\n"
       "file, the state of the Internet connection, system information, opening\n"
       "documents with the desktop's programs and utilities.\n"
       "\n"
       "This package holds the headers, the CMake package and the pkg-config file.")

set(CPACK_DEBIAN_LIBMAILVANE1_PACKAGE_NAME libmailvane1)
set(CPACK_DEBIAN_LIBMAILVANE1_PACKAGE_SECTION libs)
string(CONCAT CPACK_DEBIAN_LIBMAILVANE1_DESCRIPTION
       "Mailvane SMTP mail control of Brevant Desktop\n"
       "Mailvane sends one message with files attached to an SMTP server, directly or\n"
       "through an HTTP or SOCKS firewall, with AUTH LOGIN and optional TLS. It uses\n"
       "no toolkit, so any program can host it.\n"
       "\n"
       "This package holds the shared library.")
set(CPACK_DEBIAN_LIBMAILVANE-DEV_PACKAGE_NAME libmailvane-dev)
set(CPACK_DEBIAN_LIBMAILVANE-DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_LIBMAILVANE-DEV_DEPENDS libmailvane1)
string(CONCAT CPACK_DEBIAN_LIBMAILVANE-DEV_DESCRIPTION
       "Mailvane SMTP mail control of Brevant Desktop (development files)\n"
       "Mailvane sends one message with files attached to an SMTP server, directly or\n"
       "through an HTTP or SOCKS firewall, with AUTH LOGIN and optional TLS. It uses\n"
       "no toolkit, so any program can host it.\n"
       "\n"
       "This package holds the headers, the CMake package and the pkg-config file.")

# The libraries' packages tell the loader's cache through the ldconfig trigger and publish
# shlibs; cmake/DebMaintainerScripts.cmake drops the ldconfig calls CPack writes besides.
foreach(pkg LIBHARLIX1 LIBMAILVANE1)
    set(CPACK_DEBIAN_${pkg}_PACKAGE_CONTROL_EXTRA ${BREVANT_DEB_DIR}/triggers)
endforeach()
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebMaintainerScripts.cmake)

# Packages made from a tree configured for another prefix would carry a run path and the
# libraries outside the multiarch folder: cpack refuses them.
set(CPACK_BREVANT_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/BrevantCPackCheck.cmake)
include(CPack)
