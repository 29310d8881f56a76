target_sources(ruzez_core PRIVATE activity_table.cpp activity_table.h)
