# Installation: the program folder under <prefix>/lib/kavrodesk (KavroDesk
# with its KAVRO subfolder), commands in <prefix>/bin, a desktop entry and
# icon, the manual page and the users' documentation; and a Debian package.
set(CMAKE_INSTALL_DOCDIR share/doc/kavrodesk) # the package name, not the project's
include(GNUInstallDirs)

set(KAVRO_INSTALL_PROGRAM_DIR lib/kavrodesk)
set(KAVRO_INSTALL_ENGINE_DIR ${KAVRO_INSTALL_PROGRAM_DIR}/KAVRO)

if(TARGET KavroDesk)
    install(TARGETS KavroDesk RUNTIME DESTINATION ${KAVRO_INSTALL_PROGRAM_DIR})
    # The German and Italian translations, in "translations" beside the
    # program, where it looks for them; Qt's own come from Qt's folder.
    install(FILES ${KAVRO_DESK_QM_FILES}
            DESTINATION ${KAVRO_INSTALL_PROGRAM_DIR}/translations)
endif()

# The KAVRO folder beside KavroDesk: the engine, the extent tester, the
# transformation scripts with their grammar and the coordinate systems that
# they name: the projection files, one of which is placed beside every
# output, and the same systems in OGC WKT 1 for GeoPackages.
install(TARGETS KAVRO boxcheck RUNTIME DESTINATION ${KAVRO_INSTALL_ENGINE_DIR})
install(DIRECTORY data/script/ DESTINATION ${KAVRO_INSTALL_ENGINE_DIR}/script
        FILES_MATCHING PATTERN "*.xml" PATTERN "*.xsd")
file(GLOB projection_files ${PROJECT_SOURCE_DIR}/data/*.prj
     ${PROJECT_SOURCE_DIR}/data/*.wkt)
install(FILES ${projection_files} DESTINATION ${KAVRO_INSTALL_ENGINE_DIR})

# The commands in bin/ are relative symbolic links: the programs resolve
# their own location through the link, so KavroDesk still finds its KAVRO
# folder.
set(links KAVRO)
if(TARGET KavroDesk)
    list(APPEND links KavroDesk)
endif()
foreach(name ${links})
    if(name STREQUAL "KAVRO")
        set(target ../${KAVRO_INSTALL_ENGINE_DIR}/KAVRO)
    else()
        set(target ../${KAVRO_INSTALL_PROGRAM_DIR}/${name})
    endif()
    set(link ${CMAKE_BINARY_DIR}/links/${name})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/links)
    file(CREATE_LINK ${target} ${link} SYMBOLIC)
    install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

if(TARGET KavroDesk)
    install(FILES packaging/kavrodesk.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES packaging/kavrodesk.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The Info dialog opens the user's guides in "doc" beside the program:
    # a link to the installed documents, so they are installed once.
    file(RELATIVE_PATH doc_target
         /${KAVRO_INSTALL_PROGRAM_DIR} /${CMAKE_INSTALL_DOCDIR})
    file(CREATE_LINK ${doc_target} ${CMAKE_BINARY_DIR}/links/doc SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/links/doc
            DESTINATION ${KAVRO_INSTALL_PROGRAM_DIR})
endif()
# Manual pages are installed compressed, as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/KAVRO.1.gz
    COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/docs/KAVRO.1
            > ${CMAKE_BINARY_DIR}/KAVRO.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/KAVRO.1
    COMMENT "Compressing the manual page")
add_custom_target(kavro_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/KAVRO.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/KAVRO.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(EXISTS ${PROJECT_SOURCE_DIR}/README.md)
    install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.md" PATTERN "*.html" PATTERN "*.png")

set(CPACK_PACKAGE_NAME kavrodesk)
set(CPACK_PACKAGE_VENDOR "The KAVRO team")
set(CPACK_PACKAGE_CONTACT "The KAVRO team <kavro@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Coordinate conversion of shapefiles and point files (KAVRO, KavroDesk)")
set(CPACK_PACKAGE_DESCRIPTION
    "KAVRO converts the coordinates of shapefiles and ASCII point files through a chain of coordinate operations described by an XML transformation script. KavroDesk is a desktop front end that batch-converts shapefiles from the Italian Gauss-Boaga grid to UTM zone 32 on ETRS89.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# KAVRO has Xerces-C built in (and needs ICU), or uses its shared library.
if(KAVRO_ICU_PACKAGE)
    set(kavro_xml_package ${KAVRO_ICU_PACKAGE})
else()
    set(kavro_xml_package libxerces-c3.2)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${kavro_xml_package}, libshp2, libsqlite3-0, libqt6core6, libqt6gui6, libqt6widgets6, qt6-qpa-plugins, libc6, libstdc++6")
# Qt's own German and Italian texts (standard buttons and dialogs).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
