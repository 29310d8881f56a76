# Fuzzing the links database reader (clang only):
#   CXX=clang++ cmake -S . -B build-fuzz -DRUZEZ_BUILD_FUZZERS=ON
#   cmake --build build-fuzz --target access_file_fuzzer
#   build-fuzz/tests/search/access_file_fuzzer -max_total_time=300 CORPUS_DIR tests/fixtures/access
# The reader's sources are compiled into the target so the sanitizers and the
# coverage instrumentation reach them.
if(RUZEZ_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "RUZEZ_BUILD_FUZZERS needs clang (CXX=clang++)")
    endif()
    add_executable(access_file_fuzzer
        ${PROJECT_SOURCE_DIR}/tests/fuzz/access_file_fuzzer.cpp
        ${PROJECT_SOURCE_DIR}/src/search/access_file.cpp
        ${PROJECT_SOURCE_DIR}/src/search/access_text.cpp
        ${PROJECT_SOURCE_DIR}/src/shell/ansi_text.cpp)
    target_include_directories(access_file_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(access_file_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -g -O1)
    target_link_options(access_file_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(access_file_fuzzer PRIVATE Qt6::Core)
endif()
