# Small helpers so that each folder's CMakeLists.txt stays a few lines long.

# Adds every direct sub-folder of LAYER (in name order) that has a CMakeLists.txt,
# then the sub-folders of those that have their own (nested layouts such as
# tests/platform/core). A folder that has a CMakeLists.txt owns its children.
function(velmora_add_layer layer)
  set(dir ${CMAKE_SOURCE_DIR}/${layer})
  if(NOT IS_DIRECTORY ${dir})
    return()
  endif()
  if(EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir} ${CMAKE_BINARY_DIR}/${layer})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${dir} ${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${dir}/${child})
      velmora_add_layer(${layer}/${child})
    endif()
  endforeach()
endfunction()

# velmora_library(NAME SOURCES a.cpp b.cpp [DEPS x y] [PRIVATE_DEPS z])
# A shared library whose public headers live beside its sources; callers include
# them by the folder path below the repository root ("platform/core/Variant.h").
# Shared, because the module is loaded at run time by a shell that uses the same
# platform: one copy of the class registry, the application object and the
# automation registry must serve both sides.
function(velmora_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  # Report a missing definition when the library links, not in whoever loads it.
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# velmora_test(NAME SOURCES a_test.cpp [DEPS x y] [LABELS l])
# One GoogleTest binary; its tests are registered with CTest one by one.
function(velmora_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gmock GTest::gtest_main Threads::Threads)
  set(props)
  if(A_LABELS)
    set(props PROPERTIES LABELS "${A_LABELS}")
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60 ${props})
endfunction()

# velmora_bench(NAME SOURCES a.cpp [DEPS x y]): a benchmark program, never a test.
function(velmora_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_DEPS} Threads::Threads)
endfunction()
