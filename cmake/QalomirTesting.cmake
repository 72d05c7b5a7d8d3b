# qalomir_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s] [DESKTOP])
# One CTest test per GoogleTest executable; on the Windows tree CTest runs it
# through the Wine emulator of the toolchain file. An executable in which
# nothing failed and a test was skipped (GTEST_SKIP) shows as skipped
# (tests/support/gtest_main.cpp). DESKTOP: the test shows windows,
# answers message boxes or uses the clipboard, so no other such test runs beside it
# (ctest -j runs the rest alongside).
function(qalomir_add_gtest name)
  cmake_parse_arguments(T "DESKTOP" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest qalomir_gtest_main ${T_LIBS})
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} SKIP_RETURN_CODE 77)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_DESKTOP)
    qalomir_lock_test(${name} desktop)
  endif()
endfunction()

# Adds a resource lock to a test: tests holding the same one never run at once.
#   desktop       windows, message boxes, focus and the clipboard of the display
#   registration  the component's registration in the architecture's prefix
function(qalomir_lock_test name lock)
  get_test_property(${name} RESOURCE_LOCK locks)
  if(NOT locks)
    set(locks)
  endif()
  list(APPEND locks ${lock})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt: tests/ and
# bench/ hold one folder per area, each deciding what it builds for which tree.
function(qalomir_add_area_folders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# A library the fuzzers reach into: in the fuzz tree it is built with their
# coverage and sanitizers, so that they see inside it.
function(qalomir_fuzzed_library name)
  if(QALOMIR_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()
