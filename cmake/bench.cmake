# Native benchmarks (Google Benchmark). Not run by the tests: see the README.
find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_executable(hover_bench bench/hover_bench.cpp)
    target_include_directories(hover_bench PRIVATE tests)
    target_link_libraries(hover_bench PRIVATE orvan_core benchmark::benchmark)
    target_compile_options(hover_bench PRIVATE ${ORVAN_WARNINGS})
endif()
