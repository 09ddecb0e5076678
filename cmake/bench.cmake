# Native benchmarks (Google Benchmark). Not run by the tests: see the README.
find_package(benchmark REQUIRED)
add_executable(hover_bench bench/hover_bench.cpp)
target_include_directories(hover_bench PRIVATE tests)
target_link_libraries(hover_bench PRIVATE orvan_core benchmark::benchmark)
target_compile_options(hover_bench PRIVATE ${ORVAN_WARNINGS})

# The launch benchmark's driver: the display, prefix and inspector of the
# end-to-end harness, without its test framework.
add_executable(launch_bench bench/launch_bench.cpp)
target_link_libraries(launch_bench PRIVATE e2e_driver orvan_version)
target_compile_options(launch_bench PRIVATE ${ORVAN_WARNINGS})
