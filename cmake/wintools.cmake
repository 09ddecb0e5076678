# Windows-side tools of the end-to-end tests: the inspector (a console
# program that reports windows and drives dialogs) and the probe (a program
# for the console to start, which logs how it was started).
add_executable(inspector
    tools/inspector/main.cpp tools/inspector/protocol.cpp tools/inspector/icons.cpp
    tools/inspector/accessibility.cpp)
target_compile_options(inspector PRIVATE ${ORVAN_WARNINGS})
target_link_options(inspector PRIVATE ${ORVAN_STATIC_LINK})
# uuid first: oleacc's import library has IID_IAccessible too, as a function.
target_link_libraries(inspector PRIVATE gdi32 user32 uuid oleacc ole32 oleaut32)

add_executable(probe WIN32 tools/probe/probe.cpp)
target_compile_options(probe PRIVATE ${ORVAN_WARNINGS})
target_link_options(probe PRIVATE ${ORVAN_STATIC_LINK})
target_link_libraries(probe PRIVATE gdi32 user32 ole32 shell32 uuid)

# A library that records its own loading, planted beside the console under
# the names of system libraries: it must match the console's architecture, so
# each Windows tree builds its own.
add_library(planted MODULE tools/planted/planted.cpp)
target_compile_options(planted PRIVATE ${ORVAN_WARNINGS})
target_link_options(planted PRIVATE ${ORVAN_STATIC_LINK})
set_target_properties(planted PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

target_include_directories(inspector PRIVATE tools)
target_include_directories(probe PRIVATE tools)
target_include_directories(planted PRIVATE tools)
set_target_properties(inspector probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Programs built only to carry a manifest the review of the shipped program's
# manifest must refuse, one asking for an execution level and one for common
# controls 6 (tests/package/app_manifest.py shows that it does).
foreach(refused level cc6)
    add_executable(refused_${refused} WIN32 tests/package/refused/refused.cpp tests/package/refused/refused.rc)
    set_target_properties(refused_${refused} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
target_compile_definitions(refused_cc6 PRIVATE REFUSED_CC6)
