# Windows build (mingw-w64): the console program and its Windows-side test tools.

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600 WINVER=0x0600)

# Hardening: a canary on the stack of every function with an array or a
# local whose address is taken, and the C library's checked copies where the
# compiler knows a buffer's size (mingw-w64's _FORTIFY_SOURCE); both report
# through libssp, linked statically like the rest.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-D_FORTIFY_SOURCE=2>")
add_link_options(-fstack-protector-strong)

set(ORVAN_STATIC_LINK -static -static-libgcc -static-libstdc++)

# Reproducible programs: no link time in the PE header, and no build folder
# in the code (the source and build folders are mapped to fixed names), so
# two builds of one commit give the same bytes wherever they are made.
# (The build folder's map comes last, so it wins inside the source folder.)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/orvan97>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=/orvan97/build>")
add_link_options(-Wl,--no-insert-timestamp)

include(${CMAKE_CURRENT_LIST_DIR}/program.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/wintools.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/bench_windows.cmake)
