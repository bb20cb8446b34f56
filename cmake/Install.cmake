# What `cmake --install` lays out under its prefix, and the Debian package made from it.
include(GNUInstallDirs)

install(TARGETS vorn-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vorn)
    install(TARGETS vorn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/io.vorn.Vorn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(VORN_SCREENSHOT_URL "" CACHE STRING
    "Public https address where the help pictures (share/vorn/help-images) are published: the metainfo then lists screenshots")
include(${PROJECT_SOURCE_DIR}/cmake/Metainfo.cmake)
vorn_write_metainfo(${PROJECT_BINARY_DIR}/io.vorn.Vorn.metainfo.xml "${VORN_SCREENSHOT_URL}")
install(FILES ${PROJECT_BINARY_DIR}/io.vorn.Vorn.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/io.vorn.Vorn.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${desktop}/icons/${size}x${size}/io.vorn.Vorn.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vorn)

# The manual page of vorn-cli, from its help.
set(man_page ${PROJECT_BINARY_DIR}/vorn-cli.1)
add_custom_command(OUTPUT ${man_page}
                   COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:vorn-cli> -DOUTPUT=${man_page}
                           -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
                   DEPENDS vorn-cli ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
                   COMMENT "Writing the vorn-cli manual page")
add_custom_target(vorn_man_page ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR "VORN developers")
set(CPACK_PACKAGE_CONTACT "VORN developers <vorn@users.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Catalogue CDs, DVDs and disc images, then find any file without the disc")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "VORN developers <vorn@users.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine that draws the command icons is loaded as a plugin rather than
# linked, so the scan of the binaries cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
