# Data sets: fields, data sources and links, filter texts, the in-memory data set.
quelvo_library(hostlib_data
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dataset.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fields.cpp
    ${CMAKE_CURRENT_LIST_DIR}/datalink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/memdataset.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter_expr.cpp
  DEPS hostlib
)

# The content model of the mask edit, on the standard edit mask.
quelvo_library(hostlib_mask
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/masktext.cpp
  DEPS hostlib hostlib_standard_mask
)

include(${CMAKE_CURRENT_LIST_DIR}/stdctrls.cmake OPTIONAL)
