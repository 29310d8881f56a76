target_sources(ruzez_core PRIVATE
    help_file.cpp help_file.h
)

target_sources(ruzez_ui PRIVATE
    desktop_help_engine.cpp desktop_help_engine.h
)
