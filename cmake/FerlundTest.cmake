# What every test runs under; LeakSanitizer skips only the leaks that tests/lsan.supp names.
set(FERLUND_TEST_ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;LC_ALL=ru_RU.UTF-8;LANG=ru_RU.UTF-8;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

# ferlund_add_test(NAME SOURCES... LIBS ...): one QtTest executable, run by CTest offscreen
# under a Russian locale, so that "." is shown to be independent of the user's settings.
function(ferlund_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ferlund_test_support ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FERLUND_TEST_DIR})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "${FERLUND_TEST_ENVIRONMENT};${T_ENV}")
endfunction()
