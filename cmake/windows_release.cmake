# `release` target: the program folder a user unpacks, as
# build/<tree>/Vantrel-<version>-win64.zip. Only what a user needs goes in
# (the two programs, the bundled skins and their editable projects, the
# manual, the licence notice of the pinyin data VT.exe carries); never a DATA folder or settings from a developer's runs. The
# programs must import system DLLs only, or they would not start on a bare
# Windows; the packer checks that.
set(VT_RELEASE_ZIP ${CMAKE_BINARY_DIR}/Vantrel-${PROJECT_VERSION}-win64.zip)
set(VT_BUNDLED_SKINS "蓝色卷轴;墨绿简约")
find_program(VT_OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump)

add_custom_target(release
    COMMAND ${CMAKE_COMMAND} -DDIST=${VT_DIST} -DSTAGE=${CMAKE_BINARY_DIR}/release -DZIP=${VT_RELEASE_ZIP}
            "-DSKINS=${VT_BUNDLED_SKINS}" -DOBJDUMP=${VT_OBJDUMP}
            -DNOTICES=${CMAKE_SOURCE_DIR}/launcher/search/PINYIN_NOTICE.txt -P ${CMAKE_SOURCE_DIR}/cmake/release_pack.cmake
    COMMENT "Packing ${VT_RELEASE_ZIP}"
    VERBATIM)

function(_vt_release_needs)
    foreach(t VT VTSkinEditor vt_skin_default vt_skin_green vt_help)
        if(TARGET ${t})
            add_dependencies(release ${t})
        endif()
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_release_needs)

# The archive is unpacked into a new folder and VT.exe started there, on a
# first start (no settings), in a Wine prefix of its own that is made once.
# The archive is packed first by a test of its own, so a plain `ctest` after a
# plain build checks the current programs.
find_program(VT_BASH bash)
if(VT_BASH)
    add_test(NAME release_pack COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target release)
    set_tests_properties(release_pack PROPERTIES FIXTURES_SETUP vt_release_zip TIMEOUT 600 RUN_SERIAL TRUE)
    add_test(NAME release_archive
             COMMAND ${VT_BASH} ${CMAKE_SOURCE_DIR}/tests/release/archive_starts.sh ${VT_RELEASE_ZIP}
                     ${CMAKE_BINARY_DIR}/release-test "${VT_DIST}/SKIN/蓝色卷轴/image/backdrop.img")
    set_tests_properties(release_archive PROPERTIES FIXTURES_REQUIRED vt_release_zip TIMEOUT 300 RUN_SERIAL TRUE)
endif()
