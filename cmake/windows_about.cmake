# The program's version comes from project() alone: the launcher's About box
# shows major.minor ("1.40"), the version resources of both programs carry it
# as their product version, and the release archive is named after it.
if(NOT PROJECT_VERSION_MINOR MATCHES "^[0-9]+$")
    message(FATAL_ERROR "project() must give the version as major.minor, such as 1.40")
endif()
set(VT_VERSION_DEFINES VT_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} VT_VERSION_MINOR=${PROJECT_VERSION_MINOR})

if(TARGET VT)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/launcher/dialogs/about_form_win32.cpp APPEND PROPERTY COMPILE_DEFINITIONS
                 ${VT_VERSION_DEFINES})
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/launcher/vt.rc APPEND PROPERTY COMPILE_DEFINITIONS ${VT_VERSION_DEFINES})
endif()
if(TARGET VTSkinEditor)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/skineditor/vt_skin_editor.rc APPEND PROPERTY COMPILE_DEFINITIONS
                 ${VT_VERSION_DEFINES})
endif()

# The tests check the programs and the archive against the same version.
function(_vt_win32_tests_know_version)
    if(TARGET vt_win32_tests)
        target_compile_definitions(vt_win32_tests PRIVATE ${VT_VERSION_DEFINES})
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_win32_tests_know_version)
