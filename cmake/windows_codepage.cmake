# The code-page tests once more under other ANSI code pages: 65001, as on a
# Windows with the "Beta: Unicode UTF-8" option (Wine runs a locale that has
# no ANSI code page of its own as UTF-8), and the single-byte 1252.
function(_vt_codepage_tests)
    if(TARGET vt_win32_tests)
        foreach(run "utf8|hi_IN.UTF-8|65001" "cp1252|en_US.UTF-8|1252")
            string(REPLACE "|" ";" parts "${run}")
            list(GET parts 0 name)
            list(GET parts 1 lang)
            list(GET parts 2 acp)
            add_test(NAME win32_acp_${name} COMMAND vt_win32_tests --gtest_brief=1 --gtest_filter=CodePageWin32.*)
            set_tests_properties(win32_acp_${name} PROPERTIES ENVIRONMENT "VT_WINE_LANG=${lang};VT_EXPECT_ACP=${acp}" TIMEOUT 300)
        endforeach()
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_codepage_tests)
