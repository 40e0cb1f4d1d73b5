# linegauge_add_library(NAME SOURCES ... LIBS ...): one static library per source folder,
# with src/ as its public include root so includes read "router/PageParser.h".
function(linegauge_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PUBLIC_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE linegauge_warnings ${ARG_LIBS})
endfunction()

# linegauge_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [XVFB]): one test executable per test class.
# Tests run headless; XVFB tests need a real X server and run under xvfb-run.
function(linegauge_add_test name)
    cmake_parse_arguments(ARG "XVFB" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_SOURCES)
        set(ARG_SOURCES ${name}.cpp)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE linegauge_warnings linegauge_testsupport Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE LINEGAUGE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${name}>)
        # xvfb-run -a picks its display number racily, so two such tests never start at once.
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" RESOURCE_LOCK xvfb)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
