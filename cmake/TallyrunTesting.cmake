# Helpers that register tests with CTest. GUI tests run headless: the harness, not the programme, picks the
# offscreen platform on Linux; on Windows (cross-built) every test executable runs under Wine on the harness's
# virtual display.
if(WIN32)
    include(cmake/TallyrunWindowsTesting.cmake)
else()
    find_package(Qt6 REQUIRED COMPONENTS Test)
    find_package(GTest REQUIRED)
endif()

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
    tallyrun_discover_gtests(${name})
endfunction()

# Registers every test of a GoogleTest executable, with the harness's environment.
function(tallyrun_discover_gtests target)
    include(GoogleTest)
    if(WIN32)
        gtest_discover_tests(${target} PROPERTIES TIMEOUT 120 DISCOVERY_TIMEOUT 60)
    else()
        gtest_discover_tests(${target}
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
            DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
