quelvo_test(test_hostlib_data_sets SOURCES ${CMAKE_CURRENT_LIST_DIR}/data_sets_test.cpp DEPS hostlib_data LABELS hostlib)
quelvo_test(test_hostlib_masktext SOURCES ${CMAKE_CURRENT_LIST_DIR}/masktext_test.cpp DEPS hostlib_mask LABELS hostlib)
include(${CMAKE_CURRENT_LIST_DIR}/stdctrls_tests.cmake OPTIONAL)
