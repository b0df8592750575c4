# tools/wine's prefix set-up, failed and killed half-way, in a root of its own.
add_test(NAME wine_setup COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/wine_setup_test.sh)
set_tests_properties(wine_setup PROPERTIES TIMEOUT 900)
