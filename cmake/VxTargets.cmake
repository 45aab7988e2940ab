# Shared helpers for the project's own targets: warnings, sanitizers and test registration.

set(VX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# Compile options every own target gets; warnings are errors so none creep in.
function(vx_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
    if(VX_SANITIZE)
        target_compile_options(${target} PRIVATE ${VX_SANITIZER_FLAGS})
        target_link_options(${target} PRIVATE ${VX_SANITIZER_FLAGS})
    endif()
endfunction()

# vx_add_qtest(NAME name SOURCES a.cpp ... LIBS lib ... [ENV VAR=value ...] [TIMEOUT seconds])
# One QtTest executable, registered with CTest, headless and with sanitizer reports fatal.
function(vx_add_qtest)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    vx_target_defaults(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE VX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    # The settings a user keeps in the configuration folder (the drawing host's cut margin) are
    # the tests' own, never the developer's.
    # The messages locale is fixed so the texts tests compare are the same on every machine;
    # the language tests choose theirs explicitly.
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config;LANG=C.UTF-8;LC_ALL=;LC_MESSAGES=;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:fast_unwind_on_malloc=0;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;${T_ENV}")
endfunction()
