# Windows tree: the two programs, the Win32 adapters and the tests that run
# under Wine.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# DLLs loaded on first use instead of at start: under Wine, mapping and
# attaching the shell, the common controls, the common dialogs (which pull in
# the print spooler), COM and GDI+ took longer than everything the launcher
# does before its first frame. The delay-load import libraries are made from the toolchain's own
# import libraries, so every function they export stays available.
set(VT_DELAY_DLLS comctl32 comdlg32 ole32 gdiplus shell32 shlwapi)
find_program(VT_NM NAMES x86_64-w64-mingw32-nm REQUIRED)
find_program(VT_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
set(VT_DELAY_LIBS)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayload)
foreach(dll ${VT_DELAY_DLLS})
    find_library(VT_IMPLIB_${dll} NAMES lib${dll}.a REQUIRED)
    execute_process(COMMAND ${VT_NM} -g ${VT_IMPLIB_${dll}} OUTPUT_VARIABLE syms RESULT_VARIABLE rc)
    string(REGEX MATCHALL " I __imp_[^\r\n ]+" imps "${syms}")
    if(NOT rc EQUAL 0 OR NOT imps)
        message(FATAL_ERROR "cannot list the exports of ${VT_IMPLIB_${dll}}")
    endif()
    list(TRANSFORM imps REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imps)
    list(JOIN imps "\n" exports)
    set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    file(WRITE ${def}.new "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    file(COPY_FILE ${def}.new ${def} ONLY_IF_DIFFERENT)
    if(NOT EXISTS ${lib} OR ${def} IS_NEWER_THAN ${lib})
        execute_process(COMMAND ${VT_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
                        RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "dlltool cannot make the delay-load library of ${dll}")
        endif()
    endif()
    list(APPEND VT_DELAY_LIBS ${lib})
endforeach()
set(VT_WIN_LIBS ${VT_DELAY_LIBS} delayimp oleaut32 uuid advapi32 gdi32 user32 uxtheme imm32)
set(VT_STATIC_LINK -static -static-libgcc -static-libstdc++)

vt_collect(platform_win_src platform/win32)
add_library(vt_platform_win32 STATIC ${platform_win_src})
target_link_libraries(vt_platform_win32 PUBLIC vt_common ${VT_WIN_LIBS})
target_compile_options(vt_platform_win32 PRIVATE ${VT_WARNINGS})

# Program folder: everything a user unpacks and runs.
set(VT_DIST ${CMAKE_BINARY_DIR}/Vantrel)
file(MAKE_DIRECTORY ${VT_DIST})

# The launcher's shells, one library per subsystem, each above its own core
# and linked only to the shells below it; VT.exe wires them together.
vt_library(vt_skin_shell "${vt_skin_shell}" vt_skin vt_platform_win32)
vt_library(vt_dialogs_shell "${vt_dialogs_shell}" vt_dialogs vt_mainwindow vt_menus vt_skin_shell vt_platform_win32)
vt_library(vt_menus_shell "${vt_menus_shell}" vt_menus vt_dialogs_shell vt_platform_win32)
vt_library(vt_mainwindow_shell "${vt_mainwindow_shell}" vt_mainwindow vt_menus_shell vt_dialogs_shell vt_skin_shell
           vt_platform_win32)

# The program's entry point, the composition root.
file(GLOB launcher_entry CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/launcher/*_win32.cpp)
if(launcher_entry)
    file(GLOB launcher_rc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/launcher/*.rc)
    add_executable(VT WIN32 ${launcher_entry} ${launcher_rc})
    target_link_libraries(VT PRIVATE vt_mainwindow_shell vt_menus_shell ${VT_WIN_LIBS})
    target_link_options(VT PRIVATE ${VT_STATIC_LINK} -municode -mwindows)
    target_compile_options(VT PRIVATE ${VT_WARNINGS})
    set_target_properties(VT PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_DIST})
endif()

if(editor_shell)
    file(GLOB editor_rc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skineditor/*.rc)
    add_executable(VTSkinEditor WIN32 ${editor_shell} ${editor_rc})
    target_link_libraries(VTSkinEditor PRIVATE vt_editor_core vt_platform_win32 ${VT_WIN_LIBS})
    target_link_options(VTSkinEditor PRIVATE ${VT_STATIC_LINK} -municode -mwindows)
    target_compile_options(VTSkinEditor PRIVATE ${VT_WARNINGS})
    set_target_properties(VTSkinEditor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VT_DIST})
endif()

# Optional extra wiring (bundled skins, help, archive) lives beside this file.
file(GLOB vt_extra_cmake CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/windows_*.cmake)
foreach(f ${vt_extra_cmake})
    include(${f})
endforeach()

vt_collect(win_test_src tests/win32)
if(win_test_src)
    add_executable(vt_win32_tests ${win_test_src})
    target_link_libraries(vt_win32_tests PRIVATE vt_editor_core vt_launcher_core vt_platform_win32 vt_fakes vt_common gtest gtest_main ${VT_WIN_LIBS})
    target_link_options(vt_win32_tests PRIVATE ${VT_STATIC_LINK})
    target_compile_options(vt_win32_tests PRIVATE ${VT_WARNINGS})
    target_compile_definitions(vt_win32_tests PRIVATE VT_DIST_DIR="Z:${VT_DIST}" VT_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}")
    add_test(NAME win32 COMMAND vt_win32_tests --gtest_brief=1)
    set_tests_properties(win32 PROPERTIES TIMEOUT 2400)
endif()

vt_collect(win_bench_src bench/win32)
foreach(src ${win_bench_src})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vt_launcher_core vt_platform_win32 vt_common ${VT_WIN_LIBS})
    target_link_options(${name} PRIVATE ${VT_STATIC_LINK})
endforeach()
