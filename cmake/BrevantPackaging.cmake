# The Debian package (cpack -G DEB): brevant_<version>_amd64.deb holds whatever the tree
# installs — the program (and the viewer and MIME package once they are built), the two
# libraries with headers, CMake and pkg-config files, share/brevant, the desktop entry and the
# icons. The local service is not part of it (its install rule is EXCLUDE_FROM_ALL).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Brevant Desktop developers <brevant@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Construction bid projects: search, track and download them, with the mail control and Harlix")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevant Desktop keeps the construction projects an estimator bids on in a local database,\n"
    "keeps them current from the subscription service and opens their documents. The package\n"
    "also holds the libraries it ships: mailvane (SMTP mail control) and harlix (common\n"
    "functions), with their headers, CMake packages and pkg-config files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries are found beside the program, not among installed packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/commonlib ${CMAKE_BINARY_DIR}/mailcontrol)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
