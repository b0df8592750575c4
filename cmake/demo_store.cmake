# Converts the demo store (UTF-8, LF in git) into the form the launcher reads:
# GBK bytes with CR LF line ends. Run with cmake -P.
#   SRC    assets/demo/DATA
#   WORK   where the converted store is always rebuilt (the tests read it)
#   DIST   the program's DATA folder; filled from WORK only when it holds no
#          TEAM.SET yet, so a user's own teams are never overwritten
#   ICONV  the iconv program
#   ICON_TOOL, EMULATOR, ICON_BACK (optional): the console tool that saves the
#          program items' icons into WORK, how to run it, and the colour the
#          icons are drawn on. Without a usable tool the items keep naming their
#          pictures and the launcher shows its stock file picture for them.
foreach(var SRC WORK DIST ICONV)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "demo_store.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*")
foreach(rel ${sources})
    get_filename_component(dir "${WORK}/${rel}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(READ "${SRC}/${rel}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${WORK}/${rel}.utf8" "${text}")
    execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${WORK}/${rel}.utf8"
                    OUTPUT_FILE "${WORK}/${rel}"
                    ERROR_VARIABLE err
                    RESULT_VARIABLE rc)
    file(REMOVE "${WORK}/${rel}.utf8")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "demo store: ${rel} cannot be converted to GBK: ${err}")
    endif()
endforeach()

if(ICON_TOOL)
    get_filename_component(app "${WORK}" DIRECTORY)
    if(EMULATOR)
        set(app "Z:${app}")  # Wine's drive for the build machine's root
    endif()
    execute_process(COMMAND ${EMULATOR} "${ICON_TOOL}" "${app}/" "${ICON_BACK}"
                    OUTPUT_VARIABLE out
                    ERROR_VARIABLE err
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(WARNING "demo store: the program icons could not be taken (${rc}): ${err}")
    elseif(err)
        message(STATUS "${err}")
    endif()
endif()

if(EXISTS "${DIST}/TEAM.SET")
    return()
endif()
file(MAKE_DIRECTORY "${DIST}")
file(GLOB children "${WORK}/*")
file(COPY ${children} DESTINATION "${DIST}")
message(STATUS "Demo teams and items copied to ${DIST}")
