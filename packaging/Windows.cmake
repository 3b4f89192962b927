# The Windows installer, made with NSIS (`cpack -G NSIS` in the build folder; Debian's nsis
# provides makensis). It installs the client with the toolkit's DLLs and plugins, vedo-call and
# vedo-journal into Program Files, a Start-menu entry, a default Vedo.ini beside the program
# where there is none, and HKLM\Software\Vedo "INI-Fil" where that is missing. The uninstaller
# removes the program and leaves the settings (Vedo.ini, the registry) and the journal.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "Orvi-Vedo fjernstyring")
set(CPACK_PACKAGE_VENDOR "Orvi-Vedo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Orvi-Vedo fjernstyring: remote control of a DNC server")
set(CPACK_PACKAGE_FILE_NAME "orvi-vedo-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orvi-Vedo fjernstyring")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Orvi-Vedo fjernstyring")
set(CPACK_PACKAGE_EXECUTABLES VedoTcp "Orvi-Vedo fjernstyring")
# The texts below go to the NSIS script as written here (quotes, backslashes).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program: into "Program Files", not "Program Files (x86)".
set(CPACK_NSIS_EXECUTABLE ${CMAKE_CURRENT_LIST_DIR}/windows/makensis-amd64.sh)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Orvi-Vedo fjernstyring")
set(CPACK_NSIS_DISPLAY_NAME "Orvi-Vedo fjernstyring")
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\VedoTcp.exe")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "!define VEDO_DEFAULT_INI \"${CMAKE_CURRENT_LIST_DIR}/windows/Vedo.ini\"\n!include \"${CMAKE_CURRENT_LIST_DIR}/windows/Settings.nsh\"")
