# Native benchmarks (Google Benchmark). Not run by the tests: see the README.
find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_executable(hover_bench bench/hover_bench.cpp)
    target_include_directories(hover_bench PRIVATE tests)
    target_link_libraries(hover_bench PRIVATE orvan_core benchmark::benchmark)
    target_compile_options(hover_bench PRIVATE ${ORVAN_WARNINGS})
endif()

# The launch benchmark's driver: the display, prefix and inspector of the
# end-to-end harness, without its test framework.
add_executable(launch_bench bench/launch_bench.cpp
    tests/e2e/windows_view.cpp tests/e2e/process.cpp tests/e2e/records.cpp
    tests/e2e/watchdog.cpp tests/e2e/wine.cpp tests/e2e/xscreen.cpp)
target_include_directories(launch_bench PRIVATE tests/e2e tools)
target_link_libraries(launch_bench PRIVATE X11::X11 X11::Xtst)
target_compile_options(launch_bench PRIVATE ${ORVAN_WARNINGS})
