# One helper registers every test executable.
#
#   tamlo_add_test(NAME config_encoding SOURCES a.cpp b.cpp LIBS tamlo_config
#                  LABELS unit [gui])
#
# Labels: unit (the default), integration, gui, slow. A test labelled gui (or
# given the GUI keyword) is a Qt test: moc runs on its sources, its main
# (tests/support/qt_test_main.cpp) makes the application object, and it runs
# with the offscreen Qt platform. Each test gets TAMLO_TEST_DATA (the data
# folder beside the test's sources) as a compile definition so golden files
# can sit next to their tests.
include_guard(GLOBAL)

if(TAMLO_TESTS AND CMAKE_CROSSCOMPILING)
  # No GoogleTest package exists for the target: build Debian's sources for
  # it (package googletest), warnings as they come.
  set(TAMLO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for a cross-build")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TAMLO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(library gtest gtest_main gmock gmock_main)
    target_compile_options(${library} PRIVATE -w)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
elseif(TAMLO_TESTS)
  find_package(GTest REQUIRED)
endif()

# Under wine a Qt test finds Qt's DLLs and the MinGW runtime they link on
# WINEPATH, wine's PATH (Qt finds its plugins beside its own DLLs). Its
# entries are separated by ";", escaped here for the test's environment list.
# It runs on Qt's windows platform, the one Windows users have, drawn by wine
# on the X display scripts/test-windows.sh starts: Qt's offscreen platform on
# Windows never makes a window active, and the tests wait for that.
if(WIN32 AND CMAKE_CROSSCOMPILING AND TAMLO_GUI)
  get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)  # <prefix>/lib/cmake/Qt6
  set(wine_dirs Z:${qt_prefix}/bin)
  foreach(runtime ${TAMLO_MINGW_RUNTIME_DLLS})
    get_filename_component(runtime_dir ${runtime} DIRECTORY)
    list(APPEND wine_dirs Z:${runtime_dir})
  endforeach()
  list(REMOVE_DUPLICATES wine_dirs)
  string(REPLACE ";" "\\;" TAMLO_WINE_DLL_PATH "${wine_dirs}")
endif()

function(tamlo_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT TAMLO_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tamlo_test_support GTest::gtest GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE TAMLO_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  # Labels are matched without regard to case: "GUI" among the labels is the
  # gui label, whichever way it was written.
  string(TOLOWER "${T_LABELS}" T_LABELS)
  if(T_GUI)
    list(APPEND T_LABELS gui)
  endif()
  list(REMOVE_DUPLICATES T_LABELS)
  set(timeout 120)
  if("slow" IN_LIST T_LABELS OR "integration" IN_LIST T_LABELS)
    set(timeout 600)
  endif()
  # The leak suppressions (system libraries only) apply however ctest is run.
  set(env "TAMLO_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
          "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
  if("gui" IN_LIST T_LABELS)
    if(TAMLO_WINE_DLL_PATH)
      list(APPEND env "QT_QPA_PLATFORM=windows" "WINEPATH=${TAMLO_WINE_DLL_PATH}")
      if(DEFINED TAMLO_CASES_LEFT_OUT_UNDER_WINE_${T_NAME})
        list(APPEND env "GTEST_FILTER=-${TAMLO_CASES_LEFT_OUT_UNDER_WINE_${T_NAME}}")
      endif()
    else()
      list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    target_link_libraries(${T_NAME} PRIVATE tamlo_qt_test_main)
    tamlo_qt_target(${T_NAME})
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${timeout}
                       ENVIRONMENT "${env}")
  if("gui" IN_LIST T_LABELS AND TAMLO_WINE_DLL_PATH)
    # One at a time: windows of two programs on one display take the
    # activation from each other.
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()

# A libFuzzer target; scripts/fuzz.sh runs every binary in build/fuzz with the
# seed corpus tests/fuzz/corpus/<name>.
function(tamlo_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT TAMLO_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
endfunction()
