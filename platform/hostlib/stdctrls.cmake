# Standard and common controls on the visual classes.
quelvo_library(hostlib_stdctrls
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/stdctrls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comctrls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/extctrls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/buttons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/richedit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/listbox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/actnlist.cpp
  DEPS hostlib_visual hostlib_mask hostlib_data platform_controls
)
