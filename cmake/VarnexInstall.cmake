# cmake --install and the Debian package (tools/dev package): the window in lib/varnex/
# with its help file beside it (the program opens the help from its own folder) and a link
# in bin/, the command-line tools, the desktop entry and icon, the systemd unit and the
# udev rule.
include(GNUInstallDirs)
set(VARNEX_PRIVATE_DIR lib/varnex)

# Everything it links is a system library: no RPATH to rewrite.
set_target_properties(varnex varnex-cli varnex-sim PROPERTIES INSTALL_RPATH "")
install(TARGETS varnex RUNTIME DESTINATION ${VARNEX_PRIVATE_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/Varnexhelp.chm DESTINATION ${VARNEX_PRIVATE_DIR} OPTIONAL)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ../${VARNEX_PRIVATE_DIR}/varnex ${CMAKE_BINARY_DIR}/install/varnex SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/varnex DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS varnex-cli varnex-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/contrib/varnex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/contrib/varnex.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The unit names the installed varnex-cli by its full path, under whatever prefix the
# install runs with (/usr for the package).
install(CODE "
  file(READ \"${PROJECT_SOURCE_DIR}/contrib/varnex-record@.service.in\" unit)
  string(REPLACE \"@VARNEX_INSTALL_FULL_BINDIR@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" unit \"\${unit}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/install/varnex-record@.service\" \"\${unit}\")
")
install(FILES ${CMAKE_BINARY_DIR}/install/varnex-record@.service DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/contrib/60-varnex.rules DESTINATION lib/udev/rules.d)

set(CPACK_PACKAGE_NAME varnex)
set(CPACK_PACKAGE_VENDOR "varnex")
set(CPACK_PACKAGE_CONTACT "varnex developers <varnex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interface program of the Varnex 5 1/2 digit true RMS multimeter")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The linked libraries (Qt, libjpeg, libmosquitto) are found by dpkg-shlibdeps; these are
# what the program uses without linking: the LCD and text fonts, the screen plugin and
# the help viewer.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dseg, fonts-liberation2, qt6-qpa-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
include(CPack)
