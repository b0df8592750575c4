# Compiles the user manual: run with cmake -P.
#   SRC     folder with the UTF-8 sources (.htm, .hhc, .hhk, .hhp, .css)
#   WORK    scratch folder for the GBK copy chmcmd compiles
#   OUT     the help.chm to produce
#   CHMCMD  the chmcmd program
#   ICONV   the iconv program
#
# The sources stay UTF-8 in git so they can be edited anywhere; the viewer
# decodes the contents tree, the index and the window title with the code page
# of the file's language (936 for Chinese), so the compiled copy is GBK and the
# pages announce gb2312.
foreach(var SRC WORK OUT CHMCMD ICONV)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "help_compile.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*")
set(project_file "")
foreach(rel ${sources})
    get_filename_component(ext "${rel}" LAST_EXT)
    string(TOLOWER "${ext}" ext)
    get_filename_component(dir "${WORK}/${rel}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    if(ext MATCHES "^\\.(htm|html|hhc|hhk|hhp|css)$")
        file(READ "${SRC}/${rel}" text)
        string(REPLACE "charset=utf-8" "charset=gb2312" text "${text}")
        # Windows tools expect CR LF; chmcmd does not mind either way.
        string(REPLACE "\r\n" "\n" text "${text}")
        string(REPLACE "\n" "\r\n" text "${text}")
        file(WRITE "${WORK}/${rel}.utf8" "${text}")
        execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${WORK}/${rel}.utf8"
                        OUTPUT_FILE "${WORK}/${rel}"
                        ERROR_VARIABLE err
                        RESULT_VARIABLE rc)
        file(REMOVE "${WORK}/${rel}.utf8")
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "help: ${rel} cannot be converted to GBK: ${err}")
        endif()
        if(ext STREQUAL ".hhp")
            set(project_file "${WORK}/${rel}")
        endif()
    else()
        file(COPY "${SRC}/${rel}" DESTINATION "${dir}")
    endif()
endforeach()

if(NOT project_file)
    message(FATAL_ERROR "help: no .hhp project in ${SRC}")
endif()

get_filename_component(project_dir "${project_file}" DIRECTORY)
get_filename_component(project_name "${project_file}" NAME_WE)
execute_process(COMMAND "${CHMCMD}" --no-html-scan "${project_file}"
                WORKING_DIRECTORY "${project_dir}"
                OUTPUT_VARIABLE log
                ERROR_VARIABLE log
                RESULT_VARIABLE rc)
set(chm "${project_dir}/${project_name}.chm")
if(NOT rc EQUAL 0 OR NOT EXISTS "${chm}" OR log MATCHES "[Ee]rror")
    message(FATAL_ERROR "help: chmcmd failed (${rc}):\n${log}")
endif()
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(COPY_FILE "${chm}" "${OUT}")
