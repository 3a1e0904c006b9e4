# kestrova_library(NAME DEPS...): one folder, one library target kestrova_NAME, alias kestrova::NAME.
# Sources are the .cpp files of the folder (not its subfolders) but those named in EXCLUDE (the
# other platform's), plus any given with SOURCES.
function(kestrova_library name)
  cmake_parse_arguments(KL "" "" "DEPS;SOURCES;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${KL_EXCLUDE})
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(srcs OR KL_SOURCES)
    add_library(kestrova_${name} STATIC ${srcs} ${KL_SOURCES})
    target_link_libraries(kestrova_${name} PUBLIC kestrova::options ${KL_DEPS})
  else()
    add_library(kestrova_${name} INTERFACE)
    target_link_libraries(kestrova_${name} INTERFACE kestrova::options ${KL_DEPS})
  endif()
  add_library(kestrova::${name} ALIAS kestrova_${name})
endfunction()

# kestrova_test_executable(TARGET SOURCE): a test program in build/tests/ that knows the source
# and test-data folders (tests/support/source_paths.h). Neither the build folder nor the source
# folder is on its compile line, so every build and every checkout (build/, build-noqt/, a fresh
# clone in CI) shares its compiled tests through ccache; a test that runs a built program adds
# KESTROVA_BINARY_DIR itself.
function(kestrova_test_executable target src)
  if(NOT TARGET kestrova_source_paths)
    configure_file(${CMAKE_SOURCE_DIR}/tests/support/source_paths.cpp.in
      ${CMAKE_BINARY_DIR}/generated/source_paths.cpp @ONLY)
    add_library(kestrova_source_paths STATIC ${CMAKE_BINARY_DIR}/generated/source_paths.cpp)
    target_link_libraries(kestrova_source_paths PUBLIC kestrova::options)
  endif()
  add_executable(${target} ${src})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE kestrova_source_paths)
endfunction()

# Test files that exist for one platform only: they test that platform's transport. The
# WinINet tests need a server on the build host; tests/service/ adds them when there is one.
set(KESTROVA_OTHER_PLATFORM_TESTS wininet_transport_test.cpp)
if(WIN32)
  list(APPEND KESTROVA_OTHER_PLATFORM_TESTS curl_transport_test.cpp)
endif()

# kestrova_tests(FOLDER DEPS...): every FOLDER/*_test.cpp becomes one GoogleTest executable
# registered with CTest; tests run with the folder as working directory.
function(kestrova_tests folder)
  cmake_parse_arguments(KT "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(other ${KESTROVA_OTHER_PLATFORM_TESTS})
    list(REMOVE_ITEM tests ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${other})
  endforeach()
  foreach(src ${tests})
    get_filename_component(base ${src} NAME_WE)
    set(target ${folder}_${base})
    kestrova_test_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${KT_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${folder};${KT_LABELS}")
  endforeach()
endfunction()

# kestrova_qt_tests(FOLDER DEPS...): every FOLDER/*_test.cpp becomes one Qt Test executable
# (QTEST_MAIN: it makes its own QApplication) registered with CTest as FOLDER.NAME, run on the
# offscreen platform so it needs no display.
function(kestrova_qt_tests folder)
  cmake_parse_arguments(KQ "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(src ${tests})
    get_filename_component(base ${src} NAME_WE)
    set(target ${folder}_${base})
    kestrova_test_executable(${target} ${src})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PRIVATE ${KQ_DEPS} Qt6::Widgets Qt6::Test)
    add_test(NAME ${folder}.${base} COMMAND ${target})
    set_tests_properties(${folder}.${base} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${folder};qt;${KQ_LABELS}")
  endforeach()
endfunction()
