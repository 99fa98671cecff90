# quelvo_resources(<target> GROUP <group> RESOURCES <type> <name> <file> ...)
#
# Compiles files of the tree into <target> as resources. The generated
# source defines `void quelvo_resources::Register_<group>()`, which the
# program's start-up calls (declare it where you call it) to register every
# resource with hostlib::RegisterResource(name, type, ...).
function(quelvo_resources target)
  cmake_parse_arguments(Q "" "GROUP" "RESOURCES" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/quelvo_resources_${Q_GROUP}.cpp)
  set(manifest "")
  set(deps)
  list(LENGTH Q_RESOURCES n)
  math(EXPR rem "${n} % 3")
  if(NOT rem EQUAL 0)
    message(FATAL_ERROR "quelvo_resources: RESOURCES takes triples <type> <name> <file>")
  endif()
  set(i 0)
  while(i LESS n)
    math(EXPR j "${i} + 1")
    math(EXPR k "${i} + 2")
    list(GET Q_RESOURCES ${i} type)
    list(GET Q_RESOURCES ${j} name)
    list(GET Q_RESOURCES ${k} file)
    get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    string(APPEND manifest "${type}\n${name}\n${file}\n")
    list(APPEND deps ${file})
    math(EXPR i "${i} + 3")
  endwhile()
  # The list of entries goes through a file: names and paths then need no
  # quoting on any command line.
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/quelvo_resources_${Q_GROUP}.list)
  file(WRITE ${list_file}.tmp "${manifest}")
  file(COPY_FILE ${list_file}.tmp ${list_file} ONLY_IF_DIFFERENT)
  file(REMOVE ${list_file}.tmp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DGROUP=${Q_GROUP} -DLIST=${list_file}
            -P ${PROJECT_SOURCE_DIR}/platform/hostlib/core/resources_generate.cmake
    DEPENDS ${deps} ${list_file} ${PROJECT_SOURCE_DIR}/platform/hostlib/core/resources_generate.cmake
    COMMENT "Compiling resources ${Q_GROUP}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
