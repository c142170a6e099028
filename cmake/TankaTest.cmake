# tanka_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENV VAR=value ...] [ODBC_TOO])
# Builds one GoogleTest executable, registers its tests with CTest and gives every
# test the offscreen Qt platform (and on Linux a UTF-8 locale), so widget tests
# run headless.
# ODBC_TOO registers every test a second time, prefixed "odbc.", with the
# embedded server reached through ODBC (TANKA_SQLITE_VIA_ODBC=1), the way
# SQL Server is. Not on Windows under Wine: there Wine hands ODBC calls to the
# host's unixODBC, whose SQLite driver cannot open the Windows paths the
# program gives it.
function(tanka_add_test name)
  cmake_parse_arguments(ARG "ODBC_TOO" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${TANKA_STRICT_OPTIONS})
  # Test discovery splits a list-valued property into words, so that only the
  # first variable of ENVIRONMENT would reach the tests. The environment is
  # set instead by a script CTest runs after it has read the discovered tests.
  set(env "QT_QPA_PLATFORM=offscreen;TANKA_TEST_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  if(NOT WIN32)
    list(APPEND env "LC_ALL=C.UTF-8")
  endif()
  list(APPEND env ${ARG_ENV})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_plain PROPERTIES TIMEOUT 300)
  string(CONCAT script "foreach(test IN LISTS ${name}_plain)\n"
         "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT \"${env}\")\n"
         "endforeach()\n")
  if(ARG_ODBC_TOO AND NOT WIN32)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "odbc." TEST_LIST ${name}_odbc
                         PROPERTIES TIMEOUT 300)
    string(APPEND script "foreach(test IN LISTS ${name}_odbc)\n"
           "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT \"${env};TANKA_SQLITE_VIA_ODBC=1\")\n"
           "endforeach()\n")
  endif()
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
               ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
endfunction()
