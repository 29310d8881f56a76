ruzez_add_test(tst_worksheet tst_worksheet.cpp)
