# Testing the cross-built Windows programme: GoogleTest built from Debian's sources with the same compiler, and
# every test executable run under Wine, in a Wine prefix of the build's own.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The Linux build beside this one, whose native fixtures (TDS stand-in, KDC, recorders) the Windows tests start.
set(TALLYRUN_HOST_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH "The Linux build whose test fixtures the Windows tests use")

find_program(TALLYRUN_WINE wine REQUIRED)
set(TALLYRUN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${TALLYRUN_WINE_PREFIX} WINEDEBUG=-all ${TALLYRUN_WINE})
