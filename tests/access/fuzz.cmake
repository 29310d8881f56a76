# Fuzzing the Access reader (clang only):
#   CXX=clang++ cmake -S . -B build-fuzz -DRUZEZ_BUILD_FUZZERS=ON
#   cmake --build build-fuzz --target access_file_fuzzer
#   build-fuzz/tests/access/access_file_fuzzer -runs=1000000 CORPUS_DIR tests/fixtures/access
# The reader's sources are compiled into the target so the sanitizers and the
# coverage instrumentation reach them.
if(RUZEZ_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "RUZEZ_BUILD_FUZZERS needs clang (CXX=clang++)")
    endif()
    get_target_property(access_sources ruzez_access SOURCES)
    list(FILTER access_sources INCLUDE REGEX "\\.cpp$")
    add_executable(access_file_fuzzer ${PROJECT_SOURCE_DIR}/tests/fuzz/access_file_fuzzer.cpp
                   ${access_sources})
    target_include_directories(access_file_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(access_file_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -g -O1)
    target_link_options(access_file_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(access_file_fuzzer PRIVATE Qt6::Core)
endif()
