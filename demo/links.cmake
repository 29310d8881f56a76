# The demo course's links database: built from the links text by the course
# authors' tool into the program folder, again whenever the text changes.
set(RUZEZ_LINKS_CSV ${CMAKE_CURRENT_SOURCE_DIR}/links.csv CACHE FILEPATH
    "Links text (CSV) the build turns into environ.mdb in the program folder")
# The glob is checked again at every build, so a links text that appears later is picked up.
file(GLOB ruzez_links_csv CONFIGURE_DEPENDS ${RUZEZ_LINKS_CSV})
if(ruzez_links_csv)
    add_custom_command(
        OUTPUT ${RUZEZ_PROGRAM_DIR}/environ.mdb
        COMMAND ruzez-links build ${RUZEZ_LINKS_CSV} ${RUZEZ_PROGRAM_DIR}/environ.mdb
        DEPENDS ruzez-links ${RUZEZ_LINKS_CSV}
        COMMENT "Building environ.mdb from ${RUZEZ_LINKS_CSV}"
        VERBATIM)
    add_custom_target(ruzez_demo_links ALL DEPENDS ${RUZEZ_PROGRAM_DIR}/environ.mdb)
endif()
