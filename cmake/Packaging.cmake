# Installation (cmake --install) and the Debian package (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(VELMORA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

# The manual pages are written by hand (data/NAME.1) and installed gzipped.
function(velmora_manual_page name)
    set(page ${PROJECT_BINARY_DIR}/man/${name}.1.gz)
    add_custom_command(
        OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND sh -c "gzip -9n -c '${VELMORA_DATA_DIR}/${name}.1' > '${page}'"
        DEPENDS ${VELMORA_DATA_DIR}/${name}.1
        VERBATIM)
    add_custom_target(${name}_manpage ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

if(TARGET velmora)
    install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${VELMORA_DATA_DIR}/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${VELMORA_DATA_DIR}/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${VELMORA_DATA_DIR}/velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            RENAME org.example.velmora.metainfo.xml)
    velmora_manual_page(velmora)
endif()

install(TARGETS velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELMORA_DATA_DIR}/velmora-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME velmora-cli)

velmora_manual_page(velmora-cli)

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
# The completion script of velmora-cli needs bash-completion's helpers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
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
    # The manual pages format without a single warning.
    add_test(NAME data.manual_pages COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-manual-pages.sh
             ${VELMORA_DATA_DIR}/velmora.1 ${VELMORA_DATA_DIR}/velmora-cli.1)
endif()
