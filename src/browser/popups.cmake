target_sources(ruzez_ui PRIVATE popup_limit.cpp popup_limit.h)
