# Skin editor extras: its resources, and the console packager that builds a
# skin package from a .vse project through the editor's own builder (run
# under Wine by CMake as the cross-compiling emulator).
if(TARGET VTSkinEditor)
    add_dependencies(VTSkinEditor vt_icon)
    target_include_directories(VTSkinEditor PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/skineditor)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/skineditor/vt_skin_editor.rc PROPERTIES
        OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/vt.ico;${CMAKE_SOURCE_DIR}/skineditor/vt_skin_editor.manifest")
endif()

add_executable(vt_skin_build ${CMAKE_SOURCE_DIR}/tools/native/vt_skin_build.cpp)
target_link_libraries(vt_skin_build PRIVATE vt_editor_core vt_launcher_core vt_common)
target_link_options(vt_skin_build PRIVATE ${VT_STATIC_LINK} -municode)
target_compile_options(vt_skin_build PRIVATE ${VT_WARNINGS})

# The window test under Wine starts VTSkinEditor.exe from the program folder.
function(_vt_win32_tests_need_editor)
    if(TARGET vt_win32_tests AND TARGET VTSkinEditor)
        add_dependencies(vt_win32_tests VTSkinEditor)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_win32_tests_need_editor)
