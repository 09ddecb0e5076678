# Windows build (mingw-w64): the console program and its Windows-side test tools.

# The oldest Windows the programs run on (src/version.h): the headers offer
# nothing newer, and the programs' headers say it as their OS and subsystem
# version.
file(STRINGS "${CMAKE_SOURCE_DIR}/src/version.h" ORVAN_WINDOWS_LINES REGEX "^#define ORVAN_WINDOWS_(MAJOR|MINOR) ")
foreach(line IN LISTS ORVAN_WINDOWS_LINES)
    if(line MATCHES "^#define (ORVAN_WINDOWS_MAJOR|ORVAN_WINDOWS_MINOR) ([0-9]+)$")
        set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
    endif()
endforeach()
if(ORVAN_WINDOWS_MAJOR STREQUAL "" OR ORVAN_WINDOWS_MINOR STREQUAL "")
    message(FATAL_ERROR "src/version.h: no ORVAN_WINDOWS_MAJOR or ORVAN_WINDOWS_MINOR definition")
endif()
math(EXPR ORVAN_WINNT "${ORVAN_WINDOWS_MAJOR} * 256 + ${ORVAN_WINDOWS_MINOR}" OUTPUT_FORMAT HEXADECIMAL)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=${ORVAN_WINNT} WINVER=${ORVAN_WINNT})
add_link_options(
    -Wl,--major-os-version,${ORVAN_WINDOWS_MAJOR},--minor-os-version,${ORVAN_WINDOWS_MINOR}
    -Wl,--major-subsystem-version,${ORVAN_WINDOWS_MAJOR},--minor-subsystem-version,${ORVAN_WINDOWS_MINOR})

# Hardening: a canary on the stack of every function with an array or a
# local whose address is taken, and the C library's checked copies where the
# compiler knows a buffer's size (mingw-w64's _FORTIFY_SOURCE); both report
# through libssp, linked statically like the rest, except in the program and
# its Win32 tests, which carry their own canary (src/win32/stack_protector.cpp).
# The standard library's own checks too: an index outside a string or a
# vector, or front() of an empty one, ends the program rather than reading
# past it (_GLIBCXX_ASSERTIONS).
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-D_FORTIFY_SOURCE=2>"
                    "$<$<COMPILE_LANGUAGE:CXX>:-D_GLIBCXX_ASSERTIONS>")
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
