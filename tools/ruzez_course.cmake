# ruzez-course: the teachers' tool that makes a course folder start the browser under Wine.
add_executable(ruzez-course
    ruzez_course/main.cpp
    ruzez_course/course_folder.cpp
    ruzez_course/course_folder.h
)
target_link_libraries(ruzez-course PRIVATE ruzez_core)
set_target_properties(ruzez-course PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RUZEZ_PROGRAM_DIR})
