# Cross build for 32-bit Windows, the product (dist/).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(qalomir_mingw_triple i686-w64-mingw32)
set(qalomir_mingw_arch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
