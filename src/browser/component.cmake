target_sources(ruzez_ui PRIVATE
    browser_component.h
    help_engine.h
)
