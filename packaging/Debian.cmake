# The Debian packages, one per install component:
#   orvi-vedo      (client)     the operator's: VedoTcp, vedo-call, vedo-journal, the desktop
#                               entry and the icon
#   orvi-vedo-sim  (simulator)  dnc-sim and dnc-load, for demonstrations and tests
# Each holds its manual pages, its copyright file and the changelog.
set(VEDO_PACKAGING_BUILD_DIR ${PROJECT_BINARY_DIR}/packaging)
set(VEDO_PACKAGE_client orvi-vedo)
set(VEDO_PACKAGE_simulator orvi-vedo-sim)
set(VEDO_MANUAL_PAGES_client vedo-call vedo-journal)
if(VEDO_BUILD_CLIENT)
  list(APPEND VEDO_MANUAL_PAGES_client VedoTcp)
endif()
set(VEDO_MANUAL_PAGES_simulator dnc-sim dnc-load)

# Manual pages and the changelog go in compressed as Debian wants them; -n leaves out the name
# and the time, so that the same text always gives the same bytes. Made when CMake runs, so
# that cpack needs no build step of its own; a change of the text makes CMake run again.
function(vedo_gzip source compressed)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${compressed}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

file(MAKE_DIRECTORY ${VEDO_PACKAGING_BUILD_DIR}/man)
vedo_gzip(${CMAKE_CURRENT_LIST_DIR}/changelog ${VEDO_PACKAGING_BUILD_DIR}/changelog.gz)
foreach(component client simulator)
  foreach(page ${VEDO_MANUAL_PAGES_${component}})
    vedo_gzip(${CMAKE_CURRENT_LIST_DIR}/man/${page}.1 ${VEDO_PACKAGING_BUILD_DIR}/man/${page}.1.gz)
    install(FILES ${VEDO_PACKAGING_BUILD_DIR}/man/${page}.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
  endforeach()
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${VEDO_PACKAGING_BUILD_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${VEDO_PACKAGE_${component}}
          COMPONENT ${component})
endforeach()
if(VEDO_BUILD_CLIENT)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvi-vedo-fjernstyring.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT client)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvi-vedo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT client)
endif()

# cpack installs what was built before it, and builds nothing itself: the packages need only
# the programs, never the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME orvi-vedo)
set(CPACK_PACKAGE_VENDOR "Orvi-Vedo")
set(CPACK_PACKAGE_CONTACT "Orvi-Vedo <support@orvi-vedo.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped programs; the debugging information stays in the build tree.
set(CPACK_STRIP_FILES ON)
# The dependencies are those of the programs as built, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME ${VEDO_PACKAGE_client})
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME ${VEDO_PACKAGE_simulator})
# The first line is the summary, the rest the extended description, line by line.
set(CPACK_DEBIAN_CLIENT_DESCRIPTION [[remote control of a DNC server at a CNC machine tool
Orvi-Vedo fjernstyring (VedoTcp) is the operator's window at a CNC machine
tool. It shows the machine's status, refreshed every second, and lets the
operator pick the CNC program, have the DNC server send it to the machine's
control or fetch it back, ask for a restart, and watch the transfer's progress.

Another program can start it with a command, a machine and a file: it then
stays on top, carries the command out, closes itself when the server reports
the transfer done, and tells the outcome in its exit status.

Also holds vedo-call, which sends one request to the server and prints the
reply, and vedo-journal, which prints the journal of the transfers.]])
set(CPACK_DEBIAN_SIMULATOR_DESCRIPTION [[DNC server simulator for the Orvi-Vedo client
dnc-sim answers the line protocol of Orvi-Vedo fjernstyring as a DNC server
would, for demonstrations and tests without a shop floor: built-in machines
with sample programs (or machines from an INI file), transfers at each
machine's baud rate, a log line per request, and a signal that halts every
transfer as a stalled line would.

dnc-load runs many clients at once against a server on the same machine and
reports the requests per second and the latency of one request.]])
