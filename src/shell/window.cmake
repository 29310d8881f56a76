target_sources(ruzez_ui PRIVATE frm_browser.cpp frm_browser.h)
