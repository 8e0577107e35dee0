# Helpers that register tests with CTest. GUI tests run headless: the harness, not the programme, picks the
# offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)
find_package(GTest REQUIRED)

# tallyrun_qtest(NAME SOURCES ... LIBS ... [LABELS ...]) — a Qt Test executable, one per unit.
function(tallyrun_qtest name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        LABELS "gui;${T_LABELS}"
        TIMEOUT 120)
endfunction()

# tallyrun_gtest(NAME SOURCES ... LIBS ...) — a GoogleTest executable, registered test by test. Discovered tests take
# no list-valued properties (CMake 3.25 flattens them), hence no labels here.
function(tallyrun_gtest name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
    include(GoogleTest)
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
        DISCOVERY_TIMEOUT 30)
endfunction()
