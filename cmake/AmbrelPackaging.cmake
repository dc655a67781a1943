# What `cmake --install` and the Debian package put where: the programs in bin/, the shipped settings and the
# translations in share/ambrel/, the desktop integration (entry, icon, MIME type, AppStream metainfo), the manual
# pages, and the user manual, copyright and changelog under share/doc/ambrel/.
include(GNUInstallDirs)

set(AMBREL_APP_ID org.ambrel.Ambrel)
set(AMBREL_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(AMBREL_GENERATED_DIR ${CMAKE_BINARY_DIR}/data)
set(AMBREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/ambrel)
set(AMBREL_ICON_SIZES 16 24 32 48 64 128 256 512)

find_program(AMBREL_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(AMBREL_GZIP gzip REQUIRED)

# The PNG icons are drawn from the one SVG, so the sizes never drift apart.
set(icon_svg ${AMBREL_DATA_DIR}/icons/${AMBREL_APP_ID}.svg)
set(generated_files)
foreach(size IN LISTS AMBREL_ICON_SIZES)
    set(png ${AMBREL_GENERATED_DIR}/icons/${size}x${size}/${AMBREL_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${AMBREL_GENERATED_DIR}/icons/${size}x${size}
        COMMAND ${AMBREL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
        DEPENDS ${icon_svg} VERBATIM)
    list(APPEND generated_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants manual pages and changelogs compressed, without a time stamp (-n) so builds repeat.
foreach(source IN ITEMS man/ambrel.1 man/ambrel-cli.1 changelog)
    get_filename_component(name ${source} NAME)
    set(gz ${AMBREL_GENERATED_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${AMBREL_GENERATED_DIR}
        COMMAND sh -c "${AMBREL_GZIP} -9nc '${AMBREL_DATA_DIR}/${source}' > '${gz}'"
        DEPENDS ${AMBREL_DATA_DIR}/${source} VERBATIM)
    list(APPEND generated_files ${gz})
endforeach()

# The manual is copied beside the programs too, where the help window finds it in the build tree.
file(GLOB_RECURSE AMBREL_MANUAL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual/*)
set(manual_stamp ${AMBREL_GENERATED_DIR}/manual.stamp)
add_custom_command(OUTPUT ${manual_stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/bin/manual
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/manual ${CMAKE_BINARY_DIR}/bin/manual
    COMMAND ${CMAKE_COMMAND} -E touch ${manual_stamp}
    DEPENDS ${AMBREL_MANUAL_FILES} VERBATIM)
list(APPEND generated_files ${manual_stamp})

add_custom_target(ambrel_package_data ALL DEPENDS ${generated_files})

install(TARGETS ambrel ambrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${AMBREL_SETTINGS_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/ambrel)
install(FILES ${AMBREL_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/ambrel/translations)
install(FILES ${AMBREL_DATA_DIR}/${AMBREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${AMBREL_DATA_DIR}/${AMBREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${AMBREL_DATA_DIR}/${AMBREL_APP_ID}.mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${AMBREL_APP_ID}.xml)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${AMBREL_GENERATED_DIR}/ambrel.1.gz ${AMBREL_GENERATED_DIR}/ambrel-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${AMBREL_DATA_DIR}/copyright ${AMBREL_GENERATED_DIR}/changelog.gz DESTINATION ${AMBREL_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual DESTINATION ${AMBREL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ambrel)
set(CPACK_PACKAGE_VENDOR "The Ambrel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "project planner over your working days, with calendar export")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Ambrel developers <ambrel@ambrel.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary above this as the synopsis, and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ambrel lays the tasks of a project, typed one per line with how long each
takes, over the working days of your working week, skipping your days off.
It shows the dated schedule and a timeline, and exports the plan as calendar
events (CSV for Google Calendar, iCalendar for any calendar program), as a
picture of the timeline, or on paper. ambrel-cli does the same from the
command line.")
include(CPack)
