# Windows build (mingw-w64): the console program and its Windows-side test tools.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600 WINVER=0x0600)
set(ORVAN_STATIC_LINK -static -static-libgcc -static-libstdc++)

include(${CMAKE_CURRENT_LIST_DIR}/program.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/wintools.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/bench_windows.cmake)
