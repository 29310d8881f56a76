target_sources(ruzez_ui PRIVATE worksheet_picture.cpp worksheet_picture.h)
