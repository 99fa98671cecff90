quelvo_test(test_hostlib_stdctrls
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/visual_fixture.cpp ${CMAKE_CURRENT_LIST_DIR}/stdctrls_test.cpp
  DEPS hostlib_stdctrls LABELS hostlib TIMEOUT 120)
quelvo_test(test_hostlib_dialogs
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/visual_fixture.cpp ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp
  DEPS hostlib_stdctrls LABELS hostlib TIMEOUT 120)
