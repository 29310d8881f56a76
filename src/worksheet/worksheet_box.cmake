target_sources(ruzez_core PRIVATE worksheet_texts.cpp worksheet_texts.h)
target_sources(ruzez_ui PRIVATE
    worksheet_box.cpp worksheet_box.h
    worksheet_picture.cpp worksheet_picture.h
    worksheet.qrc
)
