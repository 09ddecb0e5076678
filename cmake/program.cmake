# The console program orvan97.exe: the core, the Win32 front end and the
# resources, linked statically so no MinGW DLL travels with it. Its manifest
# says only that it is DPI aware: without an execution level the 32-bit
# program is still virtualized as a legacy program, and without visual styles
# the classic controls keep the colours the layout gives them.
enable_language(RC)

set(ORVAN_PICTURES_DIR "${CMAKE_SOURCE_DIR}/build/native/pictures" CACHE PATH
    "Folder of the pictures drawn by the native build's generator")
foreach(picture background.bmp title.bmp logo.bmp options.bmp background_192.bmp logo_192.bmp orvan97.ico)
    if(NOT EXISTS "${ORVAN_PICTURES_DIR}/${picture}")
        message(FATAL_ERROR "${ORVAN_PICTURES_DIR}/${picture} is missing: build the native tree first (scripts/build.sh)")
    endif()
endforeach()

# The front end translates between the windows and the core's model; it
# knows nothing of the application. The console program's start (which runs
# the application in those windows) and the entry point sit above both.
file(GLOB ORVAN_WIN32_SOURCES CONFIGURE_DEPENDS src/win32/*.cpp)
list(FILTER ORVAN_WIN32_SOURCES EXCLUDE REGEX "/(main|console_program|stack_protector)\\.cpp$")
add_library(orvan_win32 STATIC ${ORVAN_WIN32_SOURCES})
orvan_headers(orvan_win32 win32)
# comctl32, comdlg32, shell32 and, for accessibility tools, oleacc, ole32 and
# oleaut32 are loaded on first use (lazy_dll.h); uuid holds interface ids only.
target_link_libraries(orvan_win32 PUBLIC orvan_ui orvan_platform gdi32 user32 uuid PRIVATE orvan_version)
target_compile_options(orvan_win32 PRIVATE ${ORVAN_WARNINGS})

add_library(orvan_console STATIC src/win32/console_program.cpp)
target_link_libraries(orvan_console PUBLIC orvan_app orvan_win32)
target_compile_options(orvan_console PRIVATE ${ORVAN_WARNINGS})

set(ORVAN_RC "${CMAKE_SOURCE_DIR}/src/win32/orvan97.rc")
# The stack protector's canary and failure, in the program itself so they
# are taken before libssp's (seeded by the entry point from the system's
# random numbers, loaded from the system folder once the search is kept there).
set(ORVAN_STACK_PROTECTOR "${CMAKE_SOURCE_DIR}/src/win32/stack_protector.cpp")
# orvan_program(name entry_point): a console program with its resources.
function(orvan_program name entry)
    add_executable(${name} WIN32 ${entry} ${ORVAN_RC} ${ORVAN_STACK_PROTECTOR})
    target_link_libraries(${name} PRIVATE orvan_console orvan_version)
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${ORVAN_WARNINGS}>)
    # Sections on page boundaries in the file too, so Wine maps the pictures
    # of every scale rather than reading them all in at start-up.
    target_link_options(${name} PRIVATE ${ORVAN_STATIC_LINK} -Wl,--file-alignment,4096)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    set_property(SOURCE ${ORVAN_RC} APPEND PROPERTY OBJECT_DEPENDS
        ${ORVAN_PICTURES_DIR}/background.bmp ${ORVAN_PICTURES_DIR}/logo.bmp ${ORVAN_PICTURES_DIR}/logo_192.bmp
        ${ORVAN_PICTURES_DIR}/orvan97.ico ${CMAKE_SOURCE_DIR}/src/win32/orvan97.manifest)
    target_include_directories(${name} PRIVATE ${ORVAN_PICTURES_DIR} ${CMAKE_SOURCE_DIR}/src/win32)
endfunction()

orvan_program(orvan97 src/win32/main.cpp)

# The program ships stripped. Its symbols stay in the build tree beside it,
# orvan97.debug, which the program names in its debug link, so gdb or
# addr2line given the program find them to read a crash's addresses; they go
# into no package. The strip writes a new PE header, whose time is the
# link's zero only with SOURCE_DATE_EPOCH=0.
add_custom_command(TARGET orvan97 POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_OBJCOPY} --only-keep-debug orvan97.exe orvan97.debug
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=orvan97.debug orvan97.exe
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Stripping orvan97.exe, its symbols kept in orvan97.debug"
    VERBATIM)

# Tests of the Win32 services, run under Wine by the end-to-end suite.
add_executable(win32_tests tests/win32/win32_tests.cpp tests/win32/check.cpp tests/win32/profile_agreement.cpp tests/win32/peer_mirror.cpp
    ${ORVAN_STACK_PROTECTOR})
target_include_directories(win32_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(win32_tests PRIVATE orvan_win32 orvan_settings orvan_tasks advapi32)
target_compile_options(win32_tests PRIVATE ${ORVAN_WARNINGS})
target_link_options(win32_tests PRIVATE ${ORVAN_STATIC_LINK})
set_target_properties(win32_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
