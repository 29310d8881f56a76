target_sources(ruzez_ui PRIVATE search_panel.cpp search_panel.h)
