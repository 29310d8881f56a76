ruzez_add_test(tst_favourites_file tst_favourites_file.cpp)
ruzez_add_test(tst_favourites_window tst_favourites_window.cpp)

# Not a test: prints how long the favourites window takes on a full file.
add_executable(favourites_benchmark ${PROJECT_SOURCE_DIR}/benchmarks/favourites_benchmark.cpp)
target_link_libraries(favourites_benchmark PRIVATE ruzez_test_support)
