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
    DEPENDS ${_vt_skin_src}/make_pictures.sh
    COMMENT "Drawing the pictures of skin ${_vt_skin_name}"
    VERBATIM)

# skin.vsu is kept as UTF-8 text and stored in the ANSI code page (GBK) with
# CRLF line ends, as the profile functions expect.
add_custom_command(
    OUTPUT ${_vt_skin_out}/skin.vsu
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_vt_skin_out}
    COMMAND sh -c "sed 's/$/\\r/' \"$0\" | ${VT_ICONV} -f UTF-8 -t GBK > \"$1.tmp\" && mv \"$1.tmp\" \"$1\""
            ${_vt_skin_src}/skin.vsu.in ${_vt_skin_out}/skin.vsu
    DEPENDS ${_vt_skin_src}/skin.vsu.in
    COMMENT "Writing skin.vsu of skin ${_vt_skin_name}"
    VERBATIM)

add_custom_target(vt_skin_default ALL DEPENDS ${_vt_skin_stamp} ${_vt_skin_out}/skin.vsu)

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
