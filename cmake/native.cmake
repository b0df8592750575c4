# Native Linux tree: the portable core and its unit tests.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)

vt_collect(unit_src tests/unit)
add_executable(vt_unit_tests ${unit_src})
target_link_libraries(vt_unit_tests PRIVATE vt_editor_core vt_launcher_core vt_fakes vt_common GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_options(vt_unit_tests PRIVATE ${VT_WARNINGS})
target_compile_definitions(vt_unit_tests PRIVATE VT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME unit COMMAND vt_unit_tests --gtest_brief=1)

# Build-time tools (skin package builder for the bundled skins, and so on).
vt_collect(native_tools_src tools/native)
foreach(src ${native_tools_src})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vt_editor_core vt_launcher_core vt_common)
endforeach()

vt_collect(bench_src bench/native)
foreach(src ${bench_src})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vt_launcher_core vt_common)
endforeach()

# The set-up scripts' own checks (bash; no Wine needed).
add_test(NAME check_needs COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/check_needs_test.sh)
# No file includes one from a layer above its own.
add_test(NAME check_layers COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/check_layers_test.sh)
add_test(NAME style COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/style_test.sh)
