# linegauge_add_library(NAME SOURCES ... LIBS ...): one static library per source folder,
# with src/ as its public include root so includes read "router/PageParser.h".
function(linegauge_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PUBLIC_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE linegauge_warnings ${ARG_LIBS})
endfunction()

# linegauge_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [XVFB] [RUN_IN command ...]): one test
# executable per test class. Tests run headless; XVFB tests need a real X server and run under
# xvfb-run. RUN_IN names a command the test runs inside, such as one giving it a session bus.
function(linegauge_add_test name)
    cmake_parse_arguments(ARG "XVFB" "TIMEOUT" "SOURCES;LIBS;LABELS;RUN_IN" ${ARGN})
    if(NOT ARG_SOURCES)
        set(ARG_SOURCES ${name}.cpp)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE linegauge_warnings linegauge_testsupport Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE LINEGAUGE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1024x768x24" ${ARG_RUN_IN} $<TARGET_FILE:${name}>)
        # xvfb-run -a picks its display number racily, so two such tests never start at once.
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" RESOURCE_LOCK xvfb)
    else()
        add_test(NAME ${name} COMMAND ${ARG_RUN_IN} ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
