# Build helpers shared by every folder.

# tarvo_add_tests(LIBS lib...)
# Called from a folder's tests/CMakeLists.txt: builds every *.cpp there into one
# test program, named after the folder (platform/coredll/tests -> platform_coredll_tests),
# registered as one ctest test run under Wine.
function(tarvo_add_tests)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" name "${rel}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# tarvo_resource_dll(target OUTPUT_NAME name SOURCES file.rc...)
# A DLL that holds only resources: no C runtime, no entry point.
function(tarvo_resource_dll target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/ResourceOnly.c)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${ARG_OUTPUT_NAME} SUFFIX ".Dll" LINKER_LANGUAGE C)
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,0)
  set_property(TARGET ${target} PROPERTY LINK_LIBRARIES "")
endfunction()
