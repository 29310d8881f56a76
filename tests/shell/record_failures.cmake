ruzez_add_test(tst_record_failures tst_record_failures.cpp)
target_compile_definitions(tst_record_failures PRIVATE FAILING_FS="${CMAKE_CURRENT_SOURCE_DIR}/failing_fs.py")
