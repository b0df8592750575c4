# Stages the program folder for a user and zips it (run by the `release`
# target with -DDIST -DSTAGE -DZIP -DSKINS -DOBJDUMP -DNOTICES).
cmake_minimum_required(VERSION 3.25)

foreach(v DIST STAGE ZIP SKINS)
    if(NOT DEFINED ${v})
        message(FATAL_ERROR "release_pack.cmake: ${v} is not set")
    endif()
endforeach()

set(top ${STAGE}/Vantrel)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${top}/SKIN ${top}/SkinProjects)

foreach(f VT.exe VTSkinEditor.exe help.chm)
    if(NOT EXISTS ${DIST}/${f})
        message(FATAL_ERROR "release: ${DIST}/${f} is missing; build the programs and the manual first")
    endif()
    file(COPY ${DIST}/${f} DESTINATION ${top})
endforeach()

# Licence notices of data built into the programs, beside them.
foreach(notice ${NOTICES})
    if(NOT EXISTS ${notice})
        message(FATAL_ERROR "release: ${notice} is missing")
    endif()
    file(COPY ${notice} DESTINATION ${top})
endforeach()

foreach(skin ${SKINS})
    set(src ${DIST}/SKIN/${skin})
    file(GLOB pictures ${src}/image/*.img)
    list(LENGTH pictures count)
    if(NOT EXISTS ${src}/skin.vsu OR count LESS 25)
        message(FATAL_ERROR "release: skin ${skin} is incomplete in ${src}")
    endif()
    file(COPY ${src} DESTINATION ${top}/SKIN)

    # The skin's editable project with the pictures it names, for designers
    # to open in the skin editor and build a variant from.
    set(project ${DIST}/SkinProjects/${skin})
    file(GLOB pictures ${project}/image/*.img)
    list(LENGTH pictures count)
    if(NOT EXISTS ${project}/${skin}.vse OR count LESS 25)
        message(FATAL_ERROR "release: the project of skin ${skin} is incomplete in ${project}")
    endif()
    file(COPY ${project} DESTINATION ${top}/SkinProjects)
endforeach()

# A program that needs a DLL of the compiler (libstdc++, libgcc, winpthread)
# or any other non-system DLL would fail on a clean Windows.
if(OBJDUMP)
    set(system_dlls
        kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll comctl32.dll comdlg32.dll
        ole32.dll oleaut32.dll gdiplus.dll msimg32.dll uxtheme.dll msvcrt.dll version.dll winmm.dll
        ws2_32.dll imm32.dll)
    foreach(exe VT.exe VTSkinEditor.exe)
        execute_process(COMMAND ${OBJDUMP} -p ${top}/${exe} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "release: ${OBJDUMP} cannot read ${exe}")
        endif()
        string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
        foreach(line ${names})
            string(REPLACE "DLL Name: " "" dll "${line}")
            string(TOLOWER "${dll}" dll)
            if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
                message(FATAL_ERROR "release: ${exe} imports ${dll}, which a clean Windows does not have")
            endif()
            # These are loaded on first use; a plain import of one of them
            # (a forgotten link library) brings back their cost at start-up.
            if(exe STREQUAL "VT.exe" AND dll MATCHES "^(comctl32|comdlg32|ole32|oleaut32|gdiplus|msimg32|shell32|shlwapi)\\.dll$")
                message(FATAL_ERROR "release: VT.exe loads ${dll} at start instead of on first use")
            endif()
        endforeach()
    endforeach()
else()
    message(WARNING "release: objdump not found, the programs' DLL imports are not checked")
endif()

file(REMOVE ${ZIP})
# The skins' folder names are Chinese: the archiver reads and stores names
# through the locale, and under LANG=C (a bare server) it cannot read them.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip Vantrel
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "release: could not write ${ZIP}")
endif()
message(STATUS "release: ${ZIP}")
