# ruzez-links: the course authors' tool for the links database.
add_executable(ruzez-links
    ruzez_links/main.cpp
    ruzez_links/commands.h
    ruzez_links/build_command.cpp
    ruzez_links/export_command.cpp
    ruzez_links/check_command.cpp
)
target_link_libraries(ruzez-links PRIVATE ruzez_core)
set_target_properties(ruzez-links PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RUZEZ_PROGRAM_DIR})
