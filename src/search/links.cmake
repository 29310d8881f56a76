target_sources(ruzez_core PRIVATE
    link_rows.h
    links_table.cpp links_table.h
)
