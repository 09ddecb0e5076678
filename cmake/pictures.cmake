# The picture generator and the pictures it draws, for the Windows build to
# embed (it is pointed at this directory with -DORVAN_PICTURES_DIR).
add_executable(genpics ${PROJECT_SOURCE_DIR}/tools/genpics/main.cpp)
target_link_libraries(genpics PRIVATE orvan_pictures)
target_compile_options(genpics PRIVATE ${ORVAN_WARNINGS})

set(ORVAN_PICTURES_OUT ${CMAKE_BINARY_DIR}/pictures)
# The pictures for each scale (100, 125, 150 and 200 %), and the icon.
set(ORVAN_PICTURE_FILES ${ORVAN_PICTURES_OUT}/orvan97.ico)
foreach(suffix "" _120 _144 _192)
    foreach(picture background title logo options)
        list(APPEND ORVAN_PICTURE_FILES ${ORVAN_PICTURES_OUT}/${picture}${suffix}.bmp)
    endforeach()
endforeach()

# genpics is relinked whenever the drawing code in orvan_pictures changes, and
# the files depend on it, so they are redrawn then.
add_custom_command(
    OUTPUT ${ORVAN_PICTURE_FILES}
    COMMAND genpics ${ORVAN_PICTURES_OUT}
    DEPENDS genpics
    COMMENT "Drawing the pictures into ${ORVAN_PICTURES_OUT}"
    VERBATIM)
add_custom_target(pictures ALL DEPENDS ${ORVAN_PICTURE_FILES})
