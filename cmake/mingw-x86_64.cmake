# Cross build for 64-bit Windows (dist-x64/). Hosts that cannot execute 32-bit
# programs test this tree under Wine's 64-bit loader.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(qalomir_mingw_triple x86_64-w64-mingw32)
set(qalomir_mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
