# libFuzzer harness for the settings file: the reader and writer, and the
# save's whole copy and its recovery over the fake system. libFuzzer comes
# with clang only, so other compilers (the default gcc build) skip it.
# Configure with -DCMAKE_CXX_COMPILER=clang++ to get it; ctest then runs a
# short smoke round of it.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(ORVAN_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    add_executable(profile_fuzz
        ${PROJECT_SOURCE_DIR}/tools/fuzz/profile_fuzz.cpp
        ${PROJECT_SOURCE_DIR}/src/settings/profile.cpp
        ${PROJECT_SOURCE_DIR}/src/settings/modIni.cpp
        ${PROJECT_SOURCE_DIR}/src/settings/durable_save.cpp
        ${PROJECT_SOURCE_DIR}/src/settings/run_method.cpp
        ${PROJECT_SOURCE_DIR}/src/platform/platform.cpp)
    target_include_directories(profile_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_compile_options(profile_fuzz PRIVATE ${ORVAN_WARNINGS} ${ORVAN_FUZZ_FLAGS})
    target_link_options(profile_fuzz PRIVATE ${ORVAN_FUZZ_FLAGS})
    add_test(NAME profile_fuzz_smoke COMMAND profile_fuzz -runs=200000 -max_len=4096 -seed=1)
endif()
