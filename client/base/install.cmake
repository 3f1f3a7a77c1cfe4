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
