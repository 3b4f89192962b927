# The Debian package.
install(FILES packaging/orvi-vedo-fjernstyring.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/orvi-vedo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvi-vedo)
set(CPACK_PACKAGE_VENDOR "Orvi-Vedo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Orvi-Vedo fjernstyring: remote control of a DNC server")
set(CPACK_PACKAGE_CONTACT "Orvi-Vedo <support@orvi-vedo.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
