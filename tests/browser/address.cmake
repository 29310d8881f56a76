ruzez_add_test(tst_address tst_address.cpp)
