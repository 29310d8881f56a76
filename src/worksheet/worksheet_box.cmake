target_sources(ruzez_ui PRIVATE worksheet_box.cpp worksheet_box.h)
