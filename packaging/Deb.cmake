# SPDX-License-Identifier: MIT
# The Debian package (`make deb`): CPack's DEB generator over the install rules, with the
# prefix /usr. dpkg-shlibdeps works out the dependencies from the program's libraries.
#
# GLIMMERDEL_DEB lays the installation out as Debian wants it: the man page and the changelog
# compressed, the copyright file beside it, the binaries stripped.

configure_file(${CMAKE_CURRENT_LIST_DIR}/example.glimmerdel.Glimmerdel.metainfo.xml
               ${PROJECT_BINARY_DIR}/generated/example.glimmerdel.Glimmerdel.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/generated/example.glimmerdel.Glimmerdel.metainfo.xml
        DESTINATION share/metainfo)

if(GLIMMERDEL_DEB)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${PROJECT_BINARY_DIR}/generated/changelog
                   @ONLY)
    set(compressed ${PROJECT_BINARY_DIR}/compressed)
    # gzip -n: no name or time stamp in the file, so the package builds the same every time.
    add_custom_command(
        OUTPUT ${compressed}/glimmerdel.6.gz ${compressed}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/app/glimmerdel.6
                ${PROJECT_BINARY_DIR}/generated/changelog ${compressed}
        COMMAND gzip -9nf ${compressed}/glimmerdel.6 ${compressed}/changelog
        DEPENDS ${PROJECT_SOURCE_DIR}/app/glimmerdel.6 ${PROJECT_BINARY_DIR}/generated/changelog
        COMMENT "Compressing the man page and the changelog" VERBATIM)
    add_custom_target(compressed_documents ALL
                      DEPENDS ${compressed}/glimmerdel.6.gz ${compressed}/changelog.gz)
    install(FILES ${compressed}/glimmerdel.6.gz DESTINATION share/man/man6)
    install(FILES ${compressed}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright
            DESTINATION share/doc/glimmerdel)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerdel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Glimmerdel developers")
set(CPACK_PACKAGE_CONTACT "The Glimmerdel developers <developers@glimmerdel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "winter night screen saver with snow, lights and chimney smoke")
set(CPACK_PACKAGE_DESCRIPTION
    "A starry night sky over snowy hills with a log cabin and a decorated fir
tree: snow falls, strings of lights blink on the house and smoke rises from
the chimney. It covers every monitor, shows crisp doubled pixels on
high-density screens, runs as a hack of xscreensaver, natively on Wayland
desktops (every output; also behind lockers and as a wallpaper with
glimmerdel --background) and in a window of its own (glimmerdel --window).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${GLIMMERDEL_WEBSITE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xscreensaver runs the hack; xdg-open opens the web site from the settings dialog.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
