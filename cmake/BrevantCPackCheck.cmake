# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE). A tree configured for another
# prefix than /usr would install the libraries outside the multiarch folder and give the
# programs a run path: such packages are refused rather than made.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_BREVANT_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "Debian packages need a build configured with -DCMAKE_INSTALL_PREFIX=/usr "
                        "(this one has ${CPACK_BREVANT_INSTALL_PREFIX})")
endif()
