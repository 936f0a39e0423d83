# What `cmake --install` puts into a prefix, and the Debian package CPack
# makes of it. The program's data go to share/vesk2, where the installed
# editor finds them from its own place (see src/tools/Datafolder.h).
include(GNUInstallDirs)

install(TARGETS vesk vesk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(GLOB _vesk_glyphs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/Bitmap/*.svg)
install(FILES ${_vesk_glyphs} DESTINATION ${CMAKE_INSTALL_DATADIR}/vesk2/Bitmap)
# The starter pads and library parts, which the build writes beside the editor.
foreach(_folder pad lib)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/bin/${_folder} DESTINATION ${CMAKE_INSTALL_DATADIR}/vesk2)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/vesk2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/vesk2.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${PROJECT_SOURCE_DIR}/data/vesk2.metainfo.xml.in ${PROJECT_BINARY_DIR}/data/vesk2.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/vesk2.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the drawing itself, and 256 pixels for desktops that want pixels.
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vesk2.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_executable(vesk-svgtopng ${PROJECT_SOURCE_DIR}/tools/svgtopng/main.cpp)
vesk_target_defaults(vesk-svgtopng)
target_link_libraries(vesk-svgtopng PRIVATE Qt6::Gui Qt6::Svg)
set(_vesk_icon_png ${PROJECT_BINARY_DIR}/data/vesk2.png)
add_custom_command(OUTPUT ${_vesk_icon_png}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:vesk-svgtopng>
    ${PROJECT_SOURCE_DIR}/resources/icons/vesk2.svg 256 ${_vesk_icon_png}
  DEPENDS vesk-svgtopng ${PROJECT_SOURCE_DIR}/resources/icons/vesk2.svg VERBATIM)
install(FILES ${_vesk_icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# The manual page, from vesk-cli's own help texts.
set(_vesk_man ${PROJECT_BINARY_DIR}/data/vesk-cli.1)
add_custom_command(OUTPUT ${_vesk_man}
  COMMAND ${PROJECT_SOURCE_DIR}/tools/make-manpage.sh $<TARGET_FILE:vesk-cli> ${PROJECT_VERSION} ${_vesk_man}
  DEPENDS vesk-cli ${PROJECT_SOURCE_DIR}/tools/make-manpage.sh VERBATIM)
install(FILES ${_vesk_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
add_custom_target(vesk_install_data ALL DEPENDS ${_vesk_icon_png} ${_vesk_man})

set(CPACK_PACKAGE_NAME vesk2)
set(CPACK_PACKAGE_VENDOR "Vesk2.0")
set(CPACK_PACKAGE_CONTACT "Vesk2.0 developers <vesk2@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Printed-circuit-board artwork editor")
set(CPACK_PACKAGE_DESCRIPTION "Draws PCB artwork on named layers, prints films at true scale and exports Gerber files.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vesk2)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, gerbv")
include(CPack)
