target_sources(ruzez_ui PRIVATE
    engine_page.cpp engine_page.h
    separate_browser_window.cpp separate_browser_window.h
    web_engine_browser.cpp web_engine_browser.h
)
