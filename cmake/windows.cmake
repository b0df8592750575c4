# Windows tree: the two programs, the Win32 adapters and the tests that run
# under Wine.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(VT_WIN_LIBS gdiplus comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid advapi32 gdi32 user32 msimg32 uxtheme)
set(VT_STATIC_LINK -static -static-libgcc -static-libstdc++)

vt_collect(platform_win_src platform/win32)
add_library(vt_platform_win32 STATIC ${platform_win_src})
target_link_libraries(vt_platform_win32 PUBLIC vt_common ${VT_WIN_LIBS})
target_compile_options(vt_platform_win32 PRIVATE ${VT_WARNINGS})

# Program folder: everything a user unpacks and runs.
set(VT_DIST ${CMAKE_BINARY_DIR}/Vantrel)
file(MAKE_DIRECTORY ${VT_DIST})

if(launcher_shell)
    file(GLOB launcher_rc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/launcher/*.rc)
    add_executable(VT WIN32 ${launcher_shell} ${launcher_rc})
    target_link_libraries(VT PRIVATE vt_launcher_core vt_platform_win32 ${VT_WIN_LIBS})
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
    set_tests_properties(win32 PROPERTIES TIMEOUT 1800)
endif()

vt_collect(win_bench_src bench/win32)
foreach(src ${win_bench_src})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vt_launcher_core vt_platform_win32 vt_common ${VT_WIN_LIBS})
    target_link_options(${name} PRIVATE ${VT_STATIC_LINK})
endforeach()
