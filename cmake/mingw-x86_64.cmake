# Cross build for 64-bit Windows with the mingw-w64 posix-thread compilers. Hosts
# that cannot execute 32-bit programs test this tree under Wine's 64-bit loader.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows binary, tests included, runs under Wine's 64-bit loader in the
# 64-bit prefix through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR env QALOMIR_ARCH=x86_64 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
