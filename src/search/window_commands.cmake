target_sources(ruzez_ui PRIVATE panel_commands.cpp)
