# The second bundled skin "墨绿简约": pictures drawn at build time by its
# script, skin.vsu built from its editable project by the skin editor's own
# package builder, like the default skin; the project with its pictures
# ships in the program folder's SkinProjects\ like the default skin's.
set(_vt_skin2_name "墨绿简约")
set(_vt_skin2_src ${CMAKE_SOURCE_DIR}/assets/skins/${_vt_skin2_name})
set(_vt_skin2_out ${VT_DIST}/SKIN/${_vt_skin2_name})
set(_vt_skin2_stamp ${CMAKE_BINARY_DIR}/skin_green_pictures.stamp)
set(_vt_skin2_stage ${VT_DIST}/SkinProjects/${_vt_skin2_name})

add_custom_command(
    OUTPUT ${_vt_skin2_stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_vt_skin2_out}/image
    COMMAND ${_vt_skin2_src}/make_pictures.sh ${_vt_skin2_out}/image
    COMMAND ${CMAKE_COMMAND} -E touch ${_vt_skin2_stamp}
    DEPENDS ${_vt_skin2_src}/make_pictures.sh ${CMAKE_SOURCE_DIR}/assets/skins/scaled_drawing.sh
    COMMENT "Drawing the pictures of skin ${_vt_skin2_name}"
    VERBATIM)

add_custom_command(
    OUTPUT ${_vt_skin2_out}/skin.vsu ${_vt_skin2_stage}/${_vt_skin2_name}.vse
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_vt_skin2_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_vt_skin2_stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${_vt_skin2_out}/image ${_vt_skin2_stage}/image
    COMMAND ${CMAKE_COMMAND} -E copy ${_vt_skin2_src}/${_vt_skin2_name}.vse ${_vt_skin2_stage}/${_vt_skin2_name}.vse
    COMMAND vt_skin_build ${_vt_skin2_stage}/${_vt_skin2_name}.vse ${_vt_skin2_out}
    DEPENDS ${_vt_skin2_src}/${_vt_skin2_name}.vse ${_vt_skin2_stamp} vt_skin_build
    COMMENT "Building skin ${_vt_skin2_name} from its project"
    VERBATIM)

add_custom_target(vt_skin_green ALL DEPENDS ${_vt_skin2_stamp} ${_vt_skin2_out}/skin.vsu
                  ${_vt_skin2_stage}/${_vt_skin2_name}.vse)

if(TARGET VT)
    add_dependencies(VT vt_skin_green)
endif()

# Tests under Wine may switch to this skin.
function(_vt_win32_tests_need_skin2)
    if(TARGET vt_win32_tests)
        add_dependencies(vt_win32_tests vt_skin_green)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_win32_tests_need_skin2)
