# What a user installs: on Windows an NSIS installer, elsewhere Debian packages.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake OPTIONAL)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/Debian.cmake)
endif()
include(CPack)
