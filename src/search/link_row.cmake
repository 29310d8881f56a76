target_sources(ruzez_core PRIVATE link_row.h)
