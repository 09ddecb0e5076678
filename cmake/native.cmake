# Native (Linux) build: the core's unit tests, the picture generator, the
# end-to-end tests that drive the Windows build under Wine, the benchmarks.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB ORVAN_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${ORVAN_UNIT_SOURCES})
target_include_directories(unit_tests PRIVATE tests)
target_link_libraries(unit_tests PRIVATE orvan_core GTest::gtest GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${ORVAN_WARNINGS})
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

include(${CMAKE_CURRENT_LIST_DIR}/pictures.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/e2e.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/bench.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/fuzz.cmake)
