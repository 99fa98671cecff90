# Helpers shared by every folder's CMakeLists.txt.

# quelvo_library(name SOURCES ... [DEPS ...] [PUBLIC_LIBS ...])
# One library per layer or subsystem; the include root is the repository
# root, so headers are named by their path ("engine/CIniFile.h"). Static,
# except in the sanitizer build: there every test executable would carry its
# own instrumented copy of the layers below it, over a hundred megabytes
# each, so the layers are shared there and each is on disk once.
function(quelvo_library name)
  cmake_parse_arguments(Q "" "" "SOURCES;DEPS" ${ARGN})
  if(QUELVO_SANITIZE)
    add_library(${name} SHARED ${Q_SOURCES})
  else()
    add_library(${name} STATIC ${Q_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(Q_DEPS)
    target_link_libraries(${name} PUBLIC ${Q_DEPS})
  endif()
endfunction()

# quelvo_test(name SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s])
# One GoogleTest executable, registered with CTest as one test.
function(quelvo_test name)
  cmake_parse_arguments(Q "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${Q_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${Q_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT Q_TIMEOUT)
    set(Q_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${Q_TIMEOUT})
  if(Q_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${Q_LABELS}")
  endif()
endfunction()

# quelvo_subdirs(): add every direct subfolder that has a CMakeLists.txt.
macro(quelvo_subdirs)
  file(GLOB _quelvo_children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _quelvo_children)
  foreach(_child IN LISTS _quelvo_children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()

# quelvo_live_test(name SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s] [LAUNCHER cmd...])
# A test against the real kernel: sealed in a private pid namespace where
# it runs as root (tests/common/live_main.cpp), and never beside another
# live test (they share one lock; other tests may run meanwhile, since the
# live tests judge against what the kernel really gave them). LAUNCHER
# runs before the test, e.g. a private session bus.
function(quelvo_live_test name)
  cmake_parse_arguments(Q "" "TIMEOUT" "SOURCES;DEPS;LABELS;LAUNCHER" ${ARGN})
  add_executable(${name} ${Q_SOURCES} ${PROJECT_SOURCE_DIR}/tests/common/live_main.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${Q_DEPS} GTest::gtest GTest::gmock)
  add_test(NAME ${name} COMMAND ${Q_LAUNCHER} $<TARGET_FILE:${name}> --gtest_brief=1)
  if(NOT Q_TIMEOUT)
    set(Q_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${Q_TIMEOUT} LABELS "${Q_LABELS};live" RESOURCE_LOCK quelvo_live)
endfunction()
