# Benchmark builds (never shipped): the console built to end after its first
# complete paint, and the baseline window it is measured against.
orvan_program(orvan97_bench bench/console_main.cpp)
target_include_directories(orvan97_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(orvan97_bench PRIVATE psapi)

add_executable(baseline_window WIN32 bench/baseline_window.cpp bench/baseline_window.rc)
target_include_directories(baseline_window PRIVATE ${ORVAN_PICTURES_DIR} ${CMAKE_SOURCE_DIR}/bench ${CMAKE_SOURCE_DIR}/tools
    ${CMAKE_SOURCE_DIR}/src/win32)
target_compile_options(baseline_window PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${ORVAN_WARNINGS}>)
# (linked as the console is, its pictures mapped rather than read in)
target_link_options(baseline_window PRIVATE ${ORVAN_STATIC_LINK} -Wl,--file-alignment,4096)
target_link_libraries(baseline_window PRIVATE psapi)
set_target_properties(baseline_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The launch benchmark's baseline: one CreateProcessA for the probe.
add_executable(launch_baseline bench/launch_baseline.cpp)
target_compile_options(launch_baseline PRIVATE ${ORVAN_WARNINGS})
target_link_options(launch_baseline PRIVATE ${ORVAN_STATIC_LINK})
target_include_directories(launch_baseline PRIVATE ${CMAKE_SOURCE_DIR}/tools)
set_target_properties(launch_baseline PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
