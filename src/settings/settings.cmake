target_sources(ruzez_core PRIVATE settings_file.cpp settings_file.h)
target_sources(ruzez_ui PRIVATE param.cpp param.h)
target_sources(ruzez_ui PRIVATE frm_browser_settings.cpp)
