# The demo store: a newcomer's first start shows teams and items that start
# under Wine. Converted on every build; copied into the program folder only
# while it has no TEAM.SET of its own.
find_program(VT_ICONV iconv)
if(VT_ICONV)
    add_custom_target(vt_demo_store ALL
        COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/assets/demo/DATA -DWORK=${CMAKE_BINARY_DIR}/demo/DATA
                -DDIST=${VT_DIST}/DATA -DICONV=${VT_ICONV} -P ${CMAKE_SOURCE_DIR}/cmake/demo_store.cmake
        COMMENT "Preparing the demo store"
        VERBATIM)
else()
    add_custom_target(vt_demo_store ALL
        COMMAND ${CMAKE_COMMAND} -E echo "the demo store cannot be prepared: iconv is missing"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()

function(vt_demo_order_tests)
    if(TARGET vt_win32_tests)
        add_dependencies(vt_win32_tests vt_demo_store)
        target_compile_definitions(vt_win32_tests PRIVATE VT_DEMO_DIR="Z:${CMAKE_BINARY_DIR}/demo")
    endif()
endfunction()
cmake_language(DEFER CALL vt_demo_order_tests)
