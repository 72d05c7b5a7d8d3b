# The mingw-w64 posix-thread cross compilers for one Windows architecture, included by
# the toolchain file of that architecture after it sets qalomir_mingw_triple and
# qalomir_mingw_arch.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${qalomir_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${qalomir_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${qalomir_mingw_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${qalomir_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows binary, tests included, runs under Wine through this wrapper, in the
# prefix and with the loader of its architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR env QALOMIR_ARCH=${qalomir_mingw_arch} ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
