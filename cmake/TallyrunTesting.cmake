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

# tallyrun_gtest(NAME SOURCES ... LIBS ... [DESKTOP]) — a GoogleTest executable, registered test by test. Discovered
# tests take no list-valued properties (CMake 3.25 flattens them), hence no labels here. DESKTOP: its tests use
# the keyboard focus and the windows of the one virtual display, so they run one at a time.
function(tallyrun_gtest name)
    cmake_parse_arguments(T "DESKTOP" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
    if(T_DESKTOP)
        tallyrun_discover_gtests(${name} DESKTOP)
    else()
        tallyrun_discover_gtests(${name})
    endif()
endfunction()

# Registers every test of a GoogleTest executable, with the harness's environment.
function(tallyrun_discover_gtests target)
    cmake_parse_arguments(T "DESKTOP" "" "" ${ARGN})
    include(GoogleTest)
    if(WIN32)
        set(lock)
        if(T_DESKTOP)
            set(lock RESOURCE_LOCK desktop)
        endif()
        gtest_discover_tests(${target} PROPERTIES TIMEOUT 120 ${lock} DISCOVERY_TIMEOUT 60)
    else()
        gtest_discover_tests(${target}
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
            DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
