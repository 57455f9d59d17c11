# Build helpers shared by every folder.

# tarvo_add_tests([DESKTOP] LIBS lib...)
# Called from a folder's tests/CMakeLists.txt: builds every *.cpp there into one
# test program, named after the folder (platform/coredll/tests -> platform_coredll_tests),
# registered as one ctest test run under Wine.
# All test programs share one Wine desktop. A program whose tests depend on what is
# desktop-wide (the foreground window, injected input, hooks, finding windows by
# class such as the Today screen's "Worker") says DESKTOP: such programs take turns,
# while the others still run side by side with them. So does a program whose windows
# take the foreground (a top-level window made visible or shown the ordinary way): that
# closes the popups and menus of the DESKTOP program running beside it. A test that only
# needs a window on show shows it with SW_SHOWNA and takes nothing.
function(tarvo_add_tests)
  cmake_parse_arguments(ARG "DESKTOP" "" "LIBS" ${ARGN})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" name "${rel}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE coredll ${ARG_LIBS} gmock gtest_main)
  tarvo_use_coredll(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
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
  set_property(TARGET ${target} PROPERTY TARVO_NO_COREDLL ON)
endfunction()

# tarvo_use_coredll(target)
# On the device every program binds the core system calls from coredll.dll, and
# where CE and the desktop differ the program expects the CE behaviour. Our
# coredll.dll exports those calls under their real names, so a target must meet
# coredll's import library before Wine's (advapi32, user32, ...) on the link
# line: coredll goes first among the target's libraries, a static library carries
# it first to whatever links the library, and a program or DLL takes the whole
# import library before its own objects (so the order CMake gives static
# libraries and system libraries later cannot matter). A program or DLL also
# imports coredll.dll even when it names none of its calls, so that
# GetModuleHandleW(L"coredll.dll") finds it for binding by name.
# Idempotent; tarvo_add_tests calls it, and the top-level CMakeLists.txt applies
# it to every target of the project (opt out with the target property
# TARVO_NO_COREDLL, as resource-only DLLs do).
function(tarvo_use_coredll target)
  get_target_property(done ${target} TARVO_COREDLL)
  get_target_property(skip ${target} TARVO_NO_COREDLL)
  if(done OR skip OR target STREQUAL "coredll")
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY|STATIC_LIBRARY)$")
    return()
  endif()
  set_property(TARGET ${target} PROPERTY TARVO_COREDLL ON)
  tarvo_put_coredll_first(${target} LINK_LIBRARIES)
  if(type STREQUAL "STATIC_LIBRARY")
    tarvo_put_coredll_first(${target} INTERFACE_LINK_LIBRARIES)
  else()
    # Taking every member of coredll's import library up front defines each of its
    # names before any object or static library asks for one, whatever order CMake
    # gives the libraries later; and it makes the program import coredll.dll.
    target_link_options(${target} PRIVATE
      "LINKER:--whole-archive,$<TARGET_LINKER_FILE:coredll>,--no-whole-archive")
  endif()
endfunction()

function(tarvo_put_coredll_first target property)
  get_target_property(libs ${target} ${property})
  if(NOT libs)
    set(libs "")
  endif()
  list(REMOVE_ITEM libs coredll)
  set_property(TARGET ${target} PROPERTY ${property} coredll ${libs})
endfunction()

# tarvo_use_coredll_everywhere()
# Applies tarvo_use_coredll to every target defined under the source tree
# (GoogleTest, built from outside it, is left alone).
function(tarvo_use_coredll_everywhere)
  set(dirs ${CMAKE_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      tarvo_use_coredll(${target})
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
      string(FIND "${sub}/" "${CMAKE_SOURCE_DIR}/" at)
      if(at EQUAL 0)
        list(APPEND dirs ${sub})
      endif()
    endforeach()
  endwhile()
endfunction()

# tarvo_add_subfolders(EXCEPT name...)
# Every subfolder of the calling folder that has a CMakeLists.txt joins the build,
# in name order, so a new stand-in, tool or benchmark needs no edit here.
function(tarvo_add_subfolders)
  cmake_parse_arguments(ARG "" "" "EXCEPT" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(NOT child IN_LIST ARG_EXCEPT AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
