# Access files written by our writer and read back by mdb-export, for the tests here and in search.
add_library(ruzez_access_test_files STATIC access_test_files.cpp access_test_files.h)
target_include_directories(ruzez_access_test_files PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ruzez_access_test_files PUBLIC ruzez_core)

ruzez_add_test(tst_access_file tst_access_file.cpp LIBS ruzez_access_test_files)
