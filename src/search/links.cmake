target_sources(ruzez_core PRIVATE
    access_file.cpp access_file.h access_layout.h
    access_text.cpp access_text.h
    csv_text.cpp csv_text.h
    jet_pages.cpp jet_pages.h
    jet_writer.cpp jet_writer.h
    link_rows.h
    links_table.cpp links_table.h
)
