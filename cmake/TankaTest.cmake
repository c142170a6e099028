# tanka_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENV VAR=value ...] [ODBC_TOO])
# Builds one GoogleTest executable, registers its tests with CTest and gives every
# test the offscreen Qt platform and a UTF-8 locale, so widget tests run headless.
# ODBC_TOO registers every test a second time, prefixed "odbc.", with the
# embedded server reached through ODBC (TANKA_SQLITE_VIA_ODBC=1), the way
# SQL Server is.
function(tanka_add_test name)
  cmake_parse_arguments(ARG "ODBC_TOO" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${TANKA_STRICT_OPTIONS})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TANKA_TEST_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${ARG_ENV}"
               TIMEOUT 300)
  if(ARG_ODBC_TOO)
    gtest_discover_tests(${name}
      DISCOVERY_TIMEOUT 60
      TEST_PREFIX "odbc."
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TANKA_TEST_BIN_DIR=${CMAKE_BINARY_DIR}/bin;TANKA_SQLITE_VIA_ODBC=1;${ARG_ENV}"
                 TIMEOUT 300)
  endif()
endfunction()
