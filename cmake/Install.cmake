# The installed layout: the programs in PREFIX/bin, what they ship in
# PREFIX/share/orbisk (where an installed program looks for its ProgramDir,
# see ProgramDirOf), the desktop entries, icons, AppStream metadata and the
# man page where the desktop and man look for them; and the Debian package of
# that install (make package). Included last, so every program target exists.
# The folder names are fixed, not GNUInstallDirs variables: the programs find
# their shipped files by this very layout.
set(ORBISK_SHARE share/orbisk)
set(ORBISK_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(ORBISK_ICON_SIZES 16 24 32 48 64 128 256)

install(TARGETS orbisk-cli RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${ORBISK_SHARE})

# Debian keeps its man pages compressed.
set(ORBISK_MAN_PAGE ${CMAKE_BINARY_DIR}/man/orbisk-cli.1.gz)
add_custom_command(OUTPUT ${ORBISK_MAN_PAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${ORBISK_PACKAGING}/orbisk-cli.1 > ${ORBISK_MAN_PAGE}
    DEPENDS ${ORBISK_PACKAGING}/orbisk-cli.1
    COMMENT "Compressing the man page of orbisk-cli")
add_custom_target(orbisk_man_page ALL DEPENDS ${ORBISK_MAN_PAGE})
install(FILES ${ORBISK_MAN_PAGE} DESTINATION share/man/man1)

# A desktop program with its entry in the menus and its icons.
function(orbisk_install_desktop_program name)
    install(TARGETS ${name} RUNTIME DESTINATION bin)
    install(FILES ${ORBISK_PACKAGING}/${name}.desktop DESTINATION share/applications)
    install(FILES ${ORBISK_PACKAGING}/icons/${name}.svg
            DESTINATION share/icons/hicolor/scalable/apps)
    foreach(size IN LISTS ORBISK_ICON_SIZES)
        install(FILES ${ORBISK_PACKAGING}/icons/${size}x${size}/${name}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
endfunction()

if(TARGET orbisk)
    orbisk_install_desktop_program(orbisk)
    install(FILES ${ORBISK_PACKAGING}/app.orbisk.Orbisk.metainfo.xml DESTINATION share/metainfo)
endif()
if(TARGET orbidex)
    orbisk_install_desktop_program(orbidex)
endif()

# make package: cpack -G DEB in a Release build configured for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbisk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orbisk")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of CDs, DVDs, USB sticks and folders")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orbisk scans a medium once and keeps its whole tree (names, sizes, dates,
attributes, the contents of ZIP and RAR files, MP3 tags, descriptions from
text files) as one plain-text archive file. Later, without the medium, the
archives are browsed, annotated and searched. orbisk-cli does the same from
scripts and terminals.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orbisk developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The pictures of file types when the system's icons are switched on, and
# libarchive, which the programs load only when they list a RAR file (so the
# search for linked libraries does not see it); the libraries' own
# dependencies are added to these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "adwaita-icon-theme | breeze-icon-theme, libarchive13 | libarchive13t64")
# Qt's dialogs in Czech, opening pages and files, unmounting and ejecting
# without root: the program works without them, with less.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, udisks2")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
