# The default skin "蓝色卷轴" and the program icon, drawn at build time from
# the scripts in assets/ and launcher/ (no pictures are kept in the sources).
find_program(VT_CONVERT convert REQUIRED)
find_program(VT_ICONV iconv REQUIRED)

set(_vt_skin_name "蓝色卷轴")
set(_vt_skin_src ${CMAKE_SOURCE_DIR}/assets/skins/${_vt_skin_name})
set(_vt_skin_out ${VT_DIST}/SKIN/${_vt_skin_name})
set(_vt_skin_stamp ${CMAKE_BINARY_DIR}/skin_default_pictures.stamp)

# Pictures and the description are separate steps: the description may later
# come from the skin editor's package builder without touching the pictures.
add_custom_command(
    OUTPUT ${_vt_skin_stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_vt_skin_out}/image
    COMMAND ${_vt_skin_src}/make_pictures.sh ${_vt_skin_out}/image
    COMMAND ${CMAKE_COMMAND} -E touch ${_vt_skin_stamp}
    DEPENDS ${_vt_skin_src}/make_pictures.sh ${CMAKE_SOURCE_DIR}/assets/skins/scaled_drawing.sh
    COMMENT "Drawing the pictures of skin ${_vt_skin_name}"
    VERBATIM)

# skin.vsu comes from the editable project 蓝色卷轴.vse through the skin
# editor's own package builder (vt_skin_build, run under Wine). The project
# is staged beside a copy of the drawn pictures, which it names relative to
# its own folder, in the program folder's SkinProjects\: that copy ships as a
# starting point for skin designers, and the skin is built from it, so what
# ships is known to open and build.
set(_vt_skin_stage ${VT_DIST}/SkinProjects/${_vt_skin_name})
add_custom_command(
    OUTPUT ${_vt_skin_out}/skin.vsu ${_vt_skin_stage}/${_vt_skin_name}.vse
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_vt_skin_stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_vt_skin_stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${_vt_skin_out}/image ${_vt_skin_stage}/image
    COMMAND ${CMAKE_COMMAND} -E copy ${_vt_skin_src}/${_vt_skin_name}.vse ${_vt_skin_stage}/${_vt_skin_name}.vse
    COMMAND vt_skin_build ${_vt_skin_stage}/${_vt_skin_name}.vse ${_vt_skin_out}
    DEPENDS ${_vt_skin_src}/${_vt_skin_name}.vse ${_vt_skin_stamp} vt_skin_build
    COMMENT "Building skin ${_vt_skin_name} from its project"
    VERBATIM)

add_custom_target(vt_skin_default ALL DEPENDS ${_vt_skin_stamp} ${_vt_skin_out}/skin.vsu
                  ${_vt_skin_stage}/${_vt_skin_name}.vse)

# Program icon, compiled into VT.exe by launcher/vt.rc.
set(_vt_gen ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${_vt_gen})
add_custom_command(
    OUTPUT ${_vt_gen}/vt.ico
    COMMAND ${CMAKE_SOURCE_DIR}/launcher/vt_icon.sh ${_vt_gen}/vt.ico
    DEPENDS ${CMAKE_SOURCE_DIR}/launcher/vt_icon.sh
    COMMENT "Drawing the program icon"
    VERBATIM)
add_custom_target(vt_icon DEPENDS ${_vt_gen}/vt.ico)

if(TARGET VT)
    add_dependencies(VT vt_icon vt_skin_default)
    target_include_directories(VT PRIVATE ${_vt_gen} ${CMAKE_SOURCE_DIR}/launcher)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/launcher/vt.rc PROPERTIES
        OBJECT_DEPENDS "${_vt_gen}/vt.ico;${CMAKE_SOURCE_DIR}/launcher/vt.manifest")
endif()

# The start-up tests under Wine run VT.exe from the program folder, so the
# test program needs VT and its skin built first. The test target is defined
# after this file is read; attach the dependency once everything is defined.
function(_vt_win32_tests_need_program)
    if(TARGET vt_win32_tests AND TARGET VT)
        add_dependencies(vt_win32_tests VT vt_skin_default)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _vt_win32_tests_need_program)
