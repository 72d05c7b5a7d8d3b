# Notation conversions (Windows only): included by app/CMakeLists.txt.
if(WIN32)
  add_library(app_notation STATIC
    ${CMAKE_CURRENT_LIST_DIR}/notation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/call_gate.cpp)
  target_link_libraries(app_notation PUBLIC core)
endif()
