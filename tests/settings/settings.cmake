ruzez_add_test(tst_settings_file tst_settings_file.cpp)
ruzez_add_test(tst_param tst_param.cpp)
