# A program whose closing handlers never finish, to end with a second signal.
add_executable(session_end_helper session_end_helper.cpp)
target_link_libraries(session_end_helper PRIVATE ruzez_core)

ruzez_add_test(tst_session_end tst_session_end.cpp)
target_compile_definitions(tst_session_end PRIVATE
    SESSION_END_HELPER="$<TARGET_FILE:session_end_helper>"
    RUZEZ_PROGRAM="$<TARGET_FILE:ruzez>")
add_dependencies(tst_session_end session_end_helper ruzez)
