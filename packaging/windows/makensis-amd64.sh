#!/bin/sh
# makensis with the 64-bit Unicode target, for cpack (CPACK_NSIS_EXECUTABLE): CPack cannot hand
# makensis an option with a blank in it. Debian's Wine runs only a 64-bit installer here; a
# 32-bit one fails with "ShellExecuteEx failed".
exec makensis "-XTarget amd64-unicode" "$@"
