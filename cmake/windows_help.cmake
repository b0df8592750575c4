# help.chm: the user manual, compiled from assets/help into the program folder.
# Debian's chmcmd (package fp-utils, installed by tools/deps) does the work.
find_program(VT_CHMCMD chmcmd)
find_program(VT_ICONV iconv)
file(GLOB_RECURSE vt_help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/help/*)

if(VT_CHMCMD AND VT_ICONV)
    add_custom_command(
        OUTPUT ${VT_DIST}/help.chm
        COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/assets/help -DWORK=${CMAKE_BINARY_DIR}/help
                -DOUT=${VT_DIST}/help.chm -DCHMCMD=${VT_CHMCMD} -DICONV=${VT_ICONV}
                -P ${CMAKE_SOURCE_DIR}/cmake/help_compile.cmake
        DEPENDS ${vt_help_sources} ${CMAKE_SOURCE_DIR}/cmake/help_compile.cmake
        COMMENT "Compiling help.chm"
        VERBATIM)
    add_custom_target(vt_help ALL DEPENDS ${VT_DIST}/help.chm)
else()
    add_custom_target(vt_help ALL
        COMMAND ${CMAKE_COMMAND} -E echo
                "help.chm cannot be built: chmcmd (Debian package fp-utils) or iconv is missing; run tools/deps as root"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()

# The Wine tests look at the compiled manual, so build it before them.
function(vt_help_order_tests)
    if(TARGET vt_win32_tests)
        add_dependencies(vt_win32_tests vt_help)
    endif()
endfunction()
cmake_language(DEFER CALL vt_help_order_tests)
