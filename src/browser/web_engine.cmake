target_sources(ruzez_ui PRIVATE
    context_menu.cpp context_menu.h
    engine_language.cpp engine_language.h
    engine_page.cpp engine_page.h
    javascript_dialogs.cpp javascript_dialogs.h
    outside_content.cpp outside_content.h
    separate_browser_window.cpp separate_browser_window.h
    web_engine_browser.cpp web_engine_browser.h
)
