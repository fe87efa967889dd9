# `make install` and `make package`: the executable in bin/, the help in
# share/oxi/, the shipped database in share/oxi/reference/, a menu entry and
# its icon. An installed program keeps its user's database in
# ${XDG_DATA_HOME:-~/.local/share}/oxi/DBOxi.dtb, which is share/oxi/ itself for
# the prefix ~/.local: the shipped file must never take that name, or the next
# install would overwrite the user's reminders.
include(GNUInstallDirs)

install(TARGETS oxi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The exchange module, loaded from the executable's ../lib/oxi.
install(TARGETS oxi-echanges LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/oxi)
install(FILES ${CMAKE_BINARY_DIR}/DBOxi.dtb.ref
        DESTINATION ${CMAKE_INSTALL_DATADIR}/oxi/reference RENAME DBOxi.dtb
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The build puts the help beside the executable once it exists.
install(FILES ${CMAKE_BINARY_DIR}/HelpOxi.html DESTINATION ${CMAKE_INSTALL_DATADIR}/oxi OPTIONAL)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/images/oxi.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The menu entry names the executable by its full path: ~/.local/bin is not
# always in the desktop session's PATH.
install(CODE "
  set(OXI_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/oxi\")
  set(destination \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/oxi.desktop\")
  message(STATUS \"Installing: \${destination}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/oxi.desktop.in\" \"\${destination}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${destination}\")
")

# The manual page and the Debian changelog go compressed without name or date
# in the header, as Debian's tools expect.
string(TIMESTAMP OXI_DATE_PAQUET "%a, %d %b %Y %H:%M:%S +0000" UTC)
# Who builds the package signs it; no made-up address by default.
set(_oxi_utilisateur "$ENV{USER}")
if(NOT _oxi_utilisateur)
  set(_oxi_utilisateur oxi)
endif()
set(OXI_CONTACT "Oxi <${_oxi_utilisateur}@localhost>" CACHE STRING "Maintainer of the built package")
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
function(oxi_installe_gzip source destination)
  install(CODE "
    set(destination \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}\")
    get_filename_component(dossier \"\${destination}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${dossier}\")
    message(STATUS \"Installing: \${destination}\")
    execute_process(COMMAND gzip -9nc \"${source}\" OUTPUT_FILE \"\${destination}\" RESULT_VARIABLE echec)
    if(echec)
      message(FATAL_ERROR \"gzip failed for ${source}\")
    endif()
    file(CHMOD \"\${destination}\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${destination}\")
  ")
endfunction()
oxi_installe_gzip(${CMAKE_SOURCE_DIR}/packaging/oxi.1 ${CMAKE_INSTALL_MANDIR}/man1/oxi.1.gz)
oxi_installe_gzip(${CMAKE_BINARY_DIR}/packaging/changelog ${CMAKE_INSTALL_DOCDIR}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME oxi)
set(CPACK_PACKAGE_VENDOR "Oxi")
set(CPACK_PACKAGE_CONTACT "${OXI_CONTACT}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Rappels d'anniversaires, de fêtes et de notes")
set(CPACK_PACKAGE_DESCRIPTION "Oxi vit dans la zone de notification et rappelle les anniversaires,\n les fêtes et les notes datées, avec le saint, le dicton et le mois du jour.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The home page only once the project has a site of its own.
if(OXI_SITE_WEB)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${OXI_SITE_WEB}")
endif()
# Libraries come from dpkg-shlibdeps, the exchange module's too; these are
# loaded or run at run time: the fonts substituted for the designed ones, the
# opener of the help and of web addresses, Qt's French texts for the buttons of
# message boxes and file choosers, Qt's SVG image plugin (the program's images
# are drawn through it, the executable does not link the SVG library). The xcb
# platform plugin comes with the Qt libraries found above.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ebgaramond, fonts-liberation2, fonts-dejavu-core, xdg-utils, qt6-translations-l10n, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
set(CPACK_STRIP_FILES ON)
include(CPack)
