# Read-only data of the client (images, menu bitmaps, window icon, desktop entry) and where the
# program finds it: <prefix>/share/brevant beside bin/ once installed, the source tree in a build.
if(TARGET brevant_core)
    set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/ProgramFolders.cpp APPEND PROPERTY
                 COMPILE_DEFINITIONS BREVANT_SOURCE_SHARE="${PROJECT_SOURCE_DIR}/share/brevant")
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/brevant/ DESTINATION ${CMAKE_INSTALL_DATADIR}/brevant
        PATTERN "*.desktop" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/share/brevant/brevant.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The application icon at every size the tool draws (share/icons/hicolor/NxN/apps).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The generator of those images; run by hand after changing a picture, its output is committed.
add_executable(draw_brevant_images EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/draw_brevant_images.cpp)
target_link_libraries(draw_brevant_images PRIVATE Qt6::Gui)

# The manual pages, compressed as Debian installs them (gzip -9n: no name, no time stamp, so
# the package is reproducible).
set(_man_pages)
foreach(page brevant.1 brevant-viewer.1)
    set(_src ${PROJECT_SOURCE_DIR}/share/man/man1/${page})
    set(_gz ${PROJECT_BINARY_DIR}/share/man/man1/${page}.gz)
    add_custom_command(OUTPUT ${_gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share/man/man1
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${_src} ${_gz}
        DEPENDS ${_src} VERBATIM)
    list(APPEND _man_pages ${_gz})
endforeach()
add_custom_target(brevant_man_pages ALL DEPENDS ${_man_pages})
# Building the program makes its pages too, so a tree built only for the programs (as
# scripts/demo builds it) still installs whole.
if(TARGET brevant)
    add_dependencies(brevant brevant_man_pages)
endif()
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT brevant)

# What software centres read about the program.
install(FILES ${PROJECT_SOURCE_DIR}/share/metainfo/com.velmora.brevant.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT brevant)

# The morning update check as a systemd user timer (enabled by each user who wants it).
install(FILES ${PROJECT_SOURCE_DIR}/share/systemd/user/brevant-updates.service
              ${PROJECT_SOURCE_DIR}/share/systemd/user/brevant-updates.timer
        DESTINATION lib/systemd/user COMPONENT brevant)
