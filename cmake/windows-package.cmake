# SPDX-License-Identifier: MIT
# The Windows program folder as a zip file, and the installer (NSIS), both made in the build
# folder: `cmake --build build-win --target windows_package`.
find_program(ZIP_PROGRAM zip)
find_program(MAKENSIS_PROGRAM makensis)
set(WINDOWS_ZIP ${GLIMMERDEL_PROGRAM_DIR}/Glimmerdel-${PROJECT_VERSION}-windows.zip)
set(WINDOWS_SETUP ${GLIMMERDEL_PROGRAM_DIR}/Glimmerdel-${PROJECT_VERSION}-setup.exe)
set(WINDOWS_STAGE ${PROJECT_BINARY_DIR}/package/Glimmerdel)
add_custom_command(
    OUTPUT ${WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/package
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WINDOWS_STAGE}/vurezezideriru/glimmerdel
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:glimmerdel> $<TARGET_FILE:GlimmerdelEmail>
            ${PROJECT_SOURCE_DIR}/app/vantroglimmerdel.ini ${WINDOWS_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${GLIMMERDEL_DATA_DIR}
            ${WINDOWS_STAGE}/vurezezideriru/glimmerdel
    COMMAND ${CMAKE_COMMAND} -E rm -f ${WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/package ${ZIP_PROGRAM} -q -r -X
            ${WINDOWS_ZIP} Glimmerdel
    DEPENDS glimmerdel GlimmerdelEmail scene_pictures ${PROJECT_SOURCE_DIR}/app/vantroglimmerdel.ini
    COMMENT "Packing the program folder as ${WINDOWS_ZIP}")
add_custom_command(
    OUTPUT ${WINDOWS_SETUP}
    COMMAND ${MAKENSIS_PROGRAM} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${WINDOWS_STAGE}
            -DOUTFILE=${WINDOWS_SETUP} ${PROJECT_SOURCE_DIR}/app/glimmerdel.nsi
    DEPENDS ${WINDOWS_ZIP} ${PROJECT_SOURCE_DIR}/app/glimmerdel.nsi
    COMMENT "Building the installer ${WINDOWS_SETUP}")
add_custom_target(windows_package ALL DEPENDS ${WINDOWS_ZIP} ${WINDOWS_SETUP})
