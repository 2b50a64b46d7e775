# Shared build helpers.

set(QUORVANT_WARNINGS -Wall -Wextra)
# The project's own source folder, the root of every include path and of the
# resources, also when another project adds this one with add_subdirectory().
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH QUORVANT_SOURCE_ROOT)

# Adds every listed folder that has a CMakeLists.txt. Folders that group
# several libraries (barcodes/, batch_data/, output/) call this again for
# their own sub-folders.
function(quorvant_add_subdirs)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# quorvant_library(NAME SOURCES ... LIBS ...)
# A static library whose headers are included by path from the source root,
# e.g. #include "platform/Alerts.h".
function(quorvant_library name)
  cmake_parse_arguments(Q "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${Q_SOURCES})
  target_include_directories(${name} PUBLIC ${QUORVANT_SOURCE_ROOT})
  target_compile_options(${name} PRIVATE ${QUORVANT_WARNINGS})
  if(Q_LIBS)
    target_link_libraries(${name} PUBLIC ${Q_LIBS})
  endif()
endfunction()

# quorvant_test(NAME [QT] [MEMORY] [PLATFORM QPA] SOURCES ... LIBS ...)
# A GoogleTest program. With QT its main() creates a QApplication on the
# offscreen platform and points XDG_DATA_HOME, HOME and TMPDIR into a private
# temporary folder, so no test touches the user's files. Without QT it uses
# gtest_main. PLATFORM replaces "offscreen" under CTest, e.g. with an
# offscreen screen of another size ("offscreen:configfile=FILE"). MEMORY
# marks a suite of the readers and encoders that scripts/test also runs
# under the sanitizers: its tests carry the label "memory", and the target
# quorvant_memory_suites builds all such programs and nothing else.
function(quorvant_test name)
  cmake_parse_arguments(Q "QT;MEMORY" "PLATFORM" "SOURCES;LIBS" ${ARGN})
  if(NOT Q_PLATFORM)
    set(Q_PLATFORM offscreen)
  endif()
  add_executable(${name} ${Q_SOURCES})
  target_compile_options(${name} PRIVATE ${QUORVANT_WARNINGS})
  target_include_directories(${name} PRIVATE ${QUORVANT_SOURCE_ROOT})
  target_compile_definitions(${name} PRIVATE
    QUORVANT_TEST_DATA="${QUORVANT_SOURCE_ROOT}/tests/data"
    QUORVANT_SOURCE_DIR="${QUORVANT_SOURCE_ROOT}")
  if(Q_QT)
    target_link_libraries(${name} PRIVATE quorvant_test_support ${Q_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${Q_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=${Q_PLATFORM}")
  if(Q_MEMORY)
    list(APPEND properties LABELS memory)
    add_dependencies(quorvant_memory_suites ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()

# quorvant_bench(NAME SOURCES ... LIBS ...)
function(quorvant_bench name)
  cmake_parse_arguments(Q "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${Q_SOURCES})
  target_compile_options(${name} PRIVATE ${QUORVANT_WARNINGS})
  target_include_directories(${name} PRIVATE ${QUORVANT_SOURCE_ROOT})
  target_compile_definitions(${name} PRIVATE
    QUORVANT_TEST_DATA="${QUORVANT_SOURCE_ROOT}/tests/data")
  target_link_libraries(${name} PRIVATE ${Q_LIBS} benchmark::benchmark_main)
endfunction()
