# Installation (cmake --install) and the Debian package (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(VELMORA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

if(TARGET velmora)
    install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${VELMORA_DATA_DIR}/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${VELMORA_DATA_DIR}/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${VELMORA_DATA_DIR}/velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            RENAME org.example.velmora.metainfo.xml)
    set(velmora_manpage ${PROJECT_BINARY_DIR}/man/velmora.1.gz)
    add_custom_command(
        OUTPUT ${velmora_manpage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND sh -c "gzip -9n -c '${VELMORA_DATA_DIR}/velmora.1' > '${velmora_manpage}'"
        DEPENDS ${VELMORA_DATA_DIR}/velmora.1
        VERBATIM)
    add_custom_target(velmora_manpage ALL DEPENDS ${velmora_manpage})
    install(FILES ${velmora_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(TARGETS velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELMORA_DATA_DIR}/velmora-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME velmora-cli)

# The manual page of velmora-cli is generated from its --help texts when help2man is there.
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT VELMORA_SANITIZE AND NOT VELMORA_FUZZ)
    set(cli_manpage ${PROJECT_BINARY_DIR}/man/velmora-cli.1.gz)
    add_custom_command(
        OUTPUT ${cli_manpage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-manpage.sh $<TARGET_FILE:velmora-cli> ${PROJECT_VERSION}
                ${cli_manpage}
        DEPENDS velmora-cli ${PROJECT_SOURCE_DIR}/scripts/make-manpage.sh
        VERBATIM)
    add_custom_target(velmora_cli_manpage ALL DEPENDS ${cli_manpage})
    install(FILES ${cli_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(STATUS "The manual page of velmora-cli is not built (help2man missing, or an instrumented build)")
endif()

# Debian's copyright and changelog files.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES ${VELMORA_DATA_DIR}/copyright DESTINATION ${doc_dir})
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
    OUTPUT ${changelog}
    COMMAND sh -c "gzip -9n -c '${VELMORA_DATA_DIR}/changelog' > '${changelog}'"
    DEPENDS ${VELMORA_DATA_DIR}/changelog
    VERBATIM)
add_custom_target(velmora_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora Software")
set(CPACK_PACKAGE_CONTACT "Velmora Software <support@velmora.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "view and bulk-edit the document properties of presentations")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${VELMORA_DATA_DIR}/description.txt)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.example.org")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The spreadsheet library is opened when a workbook is written, so shlibdeps cannot see it.
file(REAL_PATH ${VELMORA_XLSXWRITER_PATH} xlsx_library)
execute_process(COMMAND dpkg-query -S ${xlsx_library} OUTPUT_VARIABLE xlsx_owner ERROR_QUIET)
if(xlsx_owner MATCHES "^([^:]+)")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS ${CMAKE_MATCH_1})
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

# The desktop entry and the AppStream file are checked with the validators when they are there.
if(VELMORA_BUILD_TESTS)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    find_program(APPSTREAMCLI appstreamcli)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME data.desktop_entry COMMAND ${DESKTOP_FILE_VALIDATE} ${VELMORA_DATA_DIR}/velmora.desktop)
    endif()
    if(APPSTREAMCLI)
        add_test(NAME data.metainfo COMMAND ${APPSTREAMCLI} validate --no-net ${VELMORA_DATA_DIR}/velmora.metainfo.xml)
    endif()
endif()
