# Where `cmake --install` puts the program's desktop files, and the Debian package that CPack
# makes of them: `cpack -G DEB` in the build folder, or the `package` target.
if(NOT PYRELLE_GUI)
  return()
endif()

include(GNUInstallDirs)
set(app_id ${PYRELLE_ID})
set(resources ${PROJECT_SOURCE_DIR}/resources)
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)

install(FILES ${resources}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${resources}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${resources}/icons/${app_id}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${resources}/icons/${app_id}-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)

# PNG copies for panels, trays and menus that do not load SVG, drawn from the one SVG at build
# time so that they never drift from it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(packaging_outputs)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${packaging_out}/icons/${size}x${size}/${app_id}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
            ${resources}/icons/${app_id}.svg
    DEPENDS ${resources}/icons/${app_id}.svg VERBATIM)
  list(APPEND packaging_outputs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page and the changelog, compressed as Debian wants them: best ratio, no time stamp.
find_program(GZIP gzip REQUIRED)
configure_file(${PROJECT_SOURCE_DIR}/docs/pyrelle.1.in ${packaging_out}/pyrelle.1 @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${packaging_out}/changelog COPYONLY)
foreach(file pyrelle.1 changelog)
  add_custom_command(OUTPUT ${packaging_out}/${file}.gz
                     COMMAND ${GZIP} -9 --no-name --force --keep ${packaging_out}/${file}
                     DEPENDS ${packaging_out}/${file} VERBATIM)
  list(APPEND packaging_outputs ${packaging_out}/${file}.gz)
endforeach()
add_custom_target(pyrelle_package_files ALL DEPENDS ${packaging_outputs})

# The compiler's notes in the program are of no use to anyone running it (Debian's own packages
# drop them the same way); the program itself is installed from app/.
if(CMAKE_OBJCOPY)
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pyrelle\")")
endif()

install(FILES ${packaging_out}/pyrelle.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${packaging_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pyrelle)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PYRELLE_PROGRAM})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pyrelle authors")
set(CPACK_PACKAGE_CONTACT "The Pyrelle authors <pyrelle@users.noreply.github.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/pyrelle/pyrelle)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CPU temperature and fan speeds in the desktop panel")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds: the SVG loader that GdkPixbuf opens for the program's icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS librsvg2-common)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS lm-sensors)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pyrelle shows the temperature of the CPU as the text of an item in the
desktop's panel, refreshed every few seconds, and lists the speeds of up to
two fans in that item's menu. A small preferences window chooses Celsius or
Fahrenheit, the refresh interval and whether Pyrelle starts at login.
.
The item appears in any panel that shows StatusNotifierItems (GNOME Shell
with the AppIndicator extension, Plasma, Xfce, LXQt, waybar, ...), and in
the XEmbed system tray elsewhere. Readings come from the kernel's hwmon
sensors through libsensors.")
include(CPack)
