target_sources(ruzez_ui PRIVATE frm_browser.cpp frm_browser.h)
target_sources(ruzez_ui PRIVATE enter_presses_button.cpp enter_presses_button.h)
