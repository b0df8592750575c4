# The demo store: a newcomer's first start shows teams and items that start
# under Wine. Converted on every build; copied into the program folder only
# while it has no TEAM.SET of its own. Its program items carry the icons of
# their programs, taken at build time by a small console tool run under Wine
# with the item editor's own extraction code.
add_executable(vt_demo_icons ${CMAKE_SOURCE_DIR}/tools/win32/demo_icons.cpp)
target_link_libraries(vt_demo_icons PRIVATE vt_launcher_core vt_platform_win32 vt_common ${VT_WIN_LIBS})
target_link_options(vt_demo_icons PRIVATE ${VT_STATIC_LINK} -municode)
target_compile_options(vt_demo_icons PRIVATE ${VT_WARNINGS})

# The pictures are drawn on the default skin's item panel colour, as the item
# editor draws them on the current one.
set(VT_DEMO_ICON_BACK 16777215)
set(_vt_demo_skin "${CMAKE_SOURCE_DIR}/assets/skins/蓝色卷轴/蓝色卷轴.vse")
if(EXISTS "${_vt_demo_skin}")
    file(STRINGS "${_vt_demo_skin}" _vt_demo_lines)
    set(_vt_section "")
    foreach(line IN LISTS _vt_demo_lines)
        if(line MATCHES "^\\[(.*)\\]")
            set(_vt_section "${CMAKE_MATCH_1}")
        elseif(_vt_section STREQUAL "ITEM" AND line MATCHES "^BackColor1=([0-9]+)")
            set(VT_DEMO_ICON_BACK "${CMAKE_MATCH_1}")
        endif()
    endforeach()
endif()

find_program(VT_ICONV iconv)
if(VT_ICONV)
    add_custom_target(vt_demo_store ALL
        COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/assets/demo/DATA -DWORK=${CMAKE_BINARY_DIR}/demo/DATA
                -DDIST=${VT_DIST}/DATA -DICONV=${VT_ICONV} "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                -DICON_TOOL=$<TARGET_FILE:vt_demo_icons> -DICON_BACK=${VT_DEMO_ICON_BACK}
                -P ${CMAKE_SOURCE_DIR}/cmake/demo_store.cmake
        COMMENT "Preparing the demo store"
        VERBATIM)
    add_dependencies(vt_demo_store vt_demo_icons)
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
