# The bounded reader: the file, its pages and usage maps, rows, long values, text.
target_sources(ruzez_access PRIVATE
    access_file.cpp access_file.h
    access_layout.h
    access_reader.h
    access_pages.cpp
    access_rows.cpp
    access_long_values.cpp
    access_text.cpp access_text.h
    page_file.cpp page_file.h
)
