# The program folder maps drive D to the demo disc, the way a mounted course
# CD-ROM is found: ${RUZEZ_PROGRAM_DIR}/dosdevices/d: -> demo/disc.
set(RUZEZ_DEMO_DISC ${PROJECT_SOURCE_DIR}/demo/disc)
file(MAKE_DIRECTORY ${RUZEZ_PROGRAM_DIR}/dosdevices)
file(CREATE_LINK ${RUZEZ_DEMO_DISC} ${RUZEZ_PROGRAM_DIR}/dosdevices/d: SYMBOLIC)
