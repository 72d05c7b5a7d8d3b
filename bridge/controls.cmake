# The window layer: forms built from descriptions, property access and event routing.
add_library(bridge_controls STATIC
  ${CMAKE_CURRENT_LIST_DIR}/window_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_properties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_check.cpp)
target_link_libraries(bridge_controls PUBLIC core comctl32 user32 gdi32)
