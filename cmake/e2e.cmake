# End-to-end tests: the real Windows build under Wine in a private Xvfb
# display, driven with real X input. One CTest test, so the expensive set-up
# (display, prefix, wineboot) is done once per run.
set(ORVAN_WIN32_DIR ${CMAKE_SOURCE_DIR}/build/win32 CACHE PATH
    "Windows build directory whose programs the end-to-end tests run")
# Run instead on machines that cannot execute 32-bit code.
set(ORVAN_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH
    "64-bit Windows build directory, tested where 32-bit code cannot run")

# The packages scripts/package.sh writes: the installer test installs the
# shipping one where the 32-bit build is tested, the 64-bit build's otherwise.
set(ORVAN_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/build/package CACHE PATH
    "Folder of the release packages (scripts/package.sh)")
set(ORVAN_PACKAGE_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/package-win64 CACHE PATH
    "Folder of the 64-bit build's packages (scripts/package.sh --arch win64)")

find_package(X11 REQUIRED)
if(NOT X11_XTest_FOUND)
    message(FATAL_ERROR "the end-to-end tests need the XTest library (libxtst-dev)")
endif()

# The driver: the private display and X input, the Wine prefix, processes,
# the inspector's client and the records, the refusals made on the host;
# built once for the tests and the launch benchmark.
add_library(e2e_driver STATIC
    tests/e2e/windows_view.cpp tests/e2e/process.cpp tests/e2e/records.cpp
    tests/e2e/watchdog.cpp tests/e2e/wine.cpp tests/e2e/xscreen.cpp tests/e2e/host.cpp)
target_include_directories(e2e_driver PUBLIC tests/e2e tools)
target_link_libraries(e2e_driver PUBLIC X11::X11 X11::Xtst)
target_compile_options(e2e_driver PRIVATE ${ORVAN_WARNINGS})
# (scripts/wine-emulated.sh lays out the emulated 32-bit Wine.)
target_compile_definitions(e2e_driver PRIVATE ORVAN_SCRIPTS_DIR="${CMAKE_SOURCE_DIR}/scripts")

file(GLOB ORVAN_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
list(FILTER ORVAN_E2E_SOURCES EXCLUDE REGEX
    "/(windows_view|process|records|watchdog|wine|xscreen|host)\\.cpp$")
add_executable(e2e_tests ${ORVAN_E2E_SOURCES})
# (src for version.h, which names the packages.)
target_include_directories(e2e_tests PRIVATE tests src)
# (the layout and the pictures, for where the console's controls stand and
# what it draws at each scale)
target_link_libraries(e2e_tests PRIVATE e2e_driver GTest::gtest orvan_ui orvan_pictures)
target_compile_options(e2e_tests PRIVATE ${ORVAN_WARNINGS})
target_compile_definitions(e2e_tests PRIVATE
    ORVAN_WIN32_DIR="${ORVAN_WIN32_DIR}"
    ORVAN_WIN64_DIR="${ORVAN_WIN64_DIR}"
    ORVAN_PACKAGE_DIR="${ORVAN_PACKAGE_DIR}"
    ORVAN_PACKAGE_WIN64_DIR="${ORVAN_PACKAGE_WIN64_DIR}"
    # (the MSI test builds an earlier version with packaging/msi.sh)
    ORVAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ORVAN_PICTURES_DIR="${CMAKE_BINARY_DIR}/pictures"
    ORVAN_E2E_WORK_DIR="${CMAKE_BINARY_DIR}/e2e")

# The run ends itself (and everything it started) before CTest's limit. The
# whole suite runs the shipping 32-bit program where the machine runs 32-bit
# code, the 64-bit build elsewhere. The two runs have displays, prefixes and
# work folders of their own, so CTest may run them side by side (-j 2).
add_test(NAME e2e COMMAND e2e_tests)
set_tests_properties(e2e PROPERTIES TIMEOUT 2400 ENVIRONMENT "ORVAN_E2E_TIMEOUT=2300")

# The shipping 32-bit program and its x86 installer in a 64-bit prefix, as
# 64-bit Windows runs them (the 32-bit program folder, the registry's 32-bit
# view): natively where the machine runs 32-bit code, and elsewhere with every
# 32-bit process under qemu-i386, where this is the shipping program's test.
# Translated code runs many times slower, so it runs the subset
# tests/e2e/wow64.filter names: what only the 32-bit program can show.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/wow64.filter)
file(STRINGS ${CMAKE_SOURCE_DIR}/tests/e2e/wow64.filter ORVAN_E2E_WOW64 REGEX "^[^#]")
list(JOIN ORVAN_E2E_WOW64 ":" ORVAN_E2E_WOW64_FILTER)
set(ORVAN_E2E_WOW64_ENV
    "ORVAN_E2E_ARCH=win32;ORVAN_E2E_PREFIX=win64;ORVAN_E2E_TIMEOUT=3200;ORVAN_E2E_WORK_DIR=${CMAKE_BINARY_DIR}/e2e-wow64")
add_test(NAME e2e_wow64 COMMAND e2e_tests --gtest_filter=${ORVAN_E2E_WOW64_FILTER})
set_tests_properties(e2e_wow64 PROPERTIES TIMEOUT 3300 ENVIRONMENT "${ORVAN_E2E_WOW64_ENV}"
    FIXTURES_REQUIRED e2e_wow64_prefix)
# Its prefix, booted (minutes under emulation) and kept beside it, or copied
# from the one kept before: scripts/test.sh runs this alone while the Windows
# programs are still being built.
add_test(NAME e2e_wow64_prefix COMMAND e2e_tests --prepare-prefix)
set_tests_properties(e2e_wow64_prefix PROPERTIES TIMEOUT 1800 ENVIRONMENT "${ORVAN_E2E_WOW64_ENV}"
    FIXTURES_SETUP e2e_wow64_prefix)
# Every line of the filter names a test: a renamed one would drop out unseen.
add_test(NAME wow64_filter COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/check-wow64-filter.sh $<TARGET_FILE:e2e_tests>)
