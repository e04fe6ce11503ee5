# SPDX-License-Identifier: GPL-3.0-or-later
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY_MAN "Modbus master and trend recorder")
# Install rules and the Debian package: the program, its desktop entry and its icon in the sizes
# the desktop's icon theme looks for. `cpack -G DEB` in the build folder makes the package.
include(GNUInstallDirs)

set(VANTOR_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/icons/app.svg)
set(VANTOR_ICON_SIZES 16 32 48 64 128 256)
set(VANTOR_ICON_THEME ${CMAKE_BINARY_DIR}/icons/hicolor)
list(JOIN VANTOR_ICON_SIZES ", " icon_size_text)

# The PNG sizes are drawn from the SVG icon at build time.
add_executable(vantor_render_icon ${PROJECT_SOURCE_DIR}/packaging/RenderIcon.cpp)
target_link_libraries(vantor_render_icon PRIVATE Qt6::Gui)
set(icon_pngs)
foreach(size ${VANTOR_ICON_SIZES})
    list(APPEND icon_pngs ${VANTOR_ICON_THEME}/${size}x${size}/apps/vantor.png)
endforeach()
add_custom_command(OUTPUT ${icon_pngs}
    COMMAND vantor_render_icon ${VANTOR_ICON_SVG} ${VANTOR_ICON_THEME} vantor ${VANTOR_ICON_SIZES}
    DEPENDS vantor_render_icon ${VANTOR_ICON_SVG}
    COMMENT "Drawing the program icon in ${icon_size_text} pixels")
add_custom_target(vantor_icons ALL DEPENDS ${icon_pngs})

install(TARGETS vantor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/vantor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The headless station as a systemd unit template, and the page on its topics and payload.
install(FILES "${PROJECT_SOURCE_DIR}/packaging/vantor-station@.service"
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/docs/publishing.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${VANTOR_ICON_THEME} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${VANTOR_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME vantor.svg)

# The manual page is made from the program's own --help and --version (help2man, in English), the Debian
# changelog is compressed as Debian wants it (gzip -9n: no name or time stamp inside). The package
# is native (its version has no Debian revision), so the changelog is changelog.gz.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(VANTOR_MAN ${CMAKE_BINARY_DIR}/man/vantor.1)
set(VANTOR_CHANGELOG ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${VANTOR_MAN}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY LANGUAGE=en
            ${HELP2MAN} --no-info --section=1 --name=${CPACK_PACKAGE_DESCRIPTION_SUMMARY_MAN}
            --version-string=${PROJECT_VERSION}
            --output=${VANTOR_MAN} $<TARGET_FILE:vantor>
    COMMAND ${GZIP} -9nf ${VANTOR_MAN}
    DEPENDS vantor
    COMMENT "Writing the manual page from vantor --help")
add_custom_command(OUTPUT ${VANTOR_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${VANTOR_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    COMMENT "Compressing the Debian changelog")
add_custom_target(vantor_package_docs ALL DEPENDS ${VANTOR_MAN}.gz ${VANTOR_CHANGELOG})

set(VANTOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vantor)
install(FILES ${VANTOR_MAN}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${VANTOR_CHANGELOG}
              ${PROJECT_SOURCE_DIR}/docs/tee-format.md
        DESTINATION ${VANTOR_DOC_DIR})
# .tee curve files: their MIME type, and the program as their handler (the desktop entry).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/vantor-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vantor.xml)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.vantor.Vantor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(VANTOR_PACKAGE_MAINTAINER "Vantor maintainers <maintainers@vantor.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VENDOR Vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VANTOR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Modbus master and trend recorder")
# Lines under 80 columns: the package's extended description keeps the line breaks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A desktop Modbus master for engineers who commission and watch field\n"
    "devices. It polls a device network over a serial line (Modbus RTU) or TCP\n"
    "(Modbus TCP), decodes registers into 30 data pages, logs every frame,\n"
    "writes registers and parameter sets and draws live trend curves. A console\n"
    "mode polls without windows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VANTOR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: the SVG icons, the window system and
# libcurl for the update check.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins, libcurl4")
# The Chinese interface: a CJK font and the Chinese texts of Qt's standard buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
