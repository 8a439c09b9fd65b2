# What a Debian installation holds besides the two programs (their install rules sit with their
# targets), and the package CPack builds from it: cmake --workflow --preset package.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# pppd reads its privileged options only from root's files: the peers file is a conffile.
install(FILES ${PROJECT_SOURCE_DIR}/data/ppp/nimbra DESTINATION /etc/ppp/peers)
# With systemd-resolved running, these hand the link's DNS servers to it and take them back.
foreach(hook ip-up.d ip-down.d)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/data/ppp/${hook}/nimbra-resolved DESTINATION /etc/ppp/${hook})
endforeach()
install(FILES ${packaging}/udev/70-nimbra.rules DESTINATION /lib/udev/rules.d)

# Debian's documentation files: the machine-readable copyright and the package's changelog.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/nimbra)
install(FILES ${packaging}/debian/copyright DESTINATION ${doc_dir})
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${changelog_gz}
  COMMAND gzip -9nc ${packaging}/debian/changelog > ${changelog_gz}
  DEPENDS ${packaging}/debian/changelog)
add_custom_target(nimbra_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${doc_dir})
install(FILES ${packaging}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME nimbra)

foreach(page nimbra nimbra-machine nimbra-custom)
  set(page_copy ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1)
  set(gz ${page_copy}.gz)
  add_custom_command(
    OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/man/${page}.1 ${page_copy}
    COMMAND gzip -9nf ${page_copy}
    DEPENDS ${packaging}/man/${page}.1
    VERBATIM)
  list(APPEND man_pages ${gz})
endforeach()
add_custom_target(nimbra_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NIMBRA_BUILD_QT)
  install(FILES ${packaging}/nimbra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging}/org.example.nimbra.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${packaging}/icons/nimbra.svg DESTINATION ${icons}/scalable/apps)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}/nimbra.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/icons/nimbra.svg
      DEPENDS ${packaging}/icons/nimbra.svg
      VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${icons}/${size}x${size}/apps)
  endforeach()
  add_custom_target(nimbra_icons ALL DEPENDS ${icon_pngs})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nimbra)
set(CPACK_PACKAGE_VENDOR "Nimbra for Linux")
set(CPACK_PACKAGE_CONTACT "Nimbra for Linux maintainers <nimbra@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "connection manager for the Korvo PHS data service")
set(CPACK_PACKAGE_DESCRIPTION
    "Nimbra finds the data card's modem and port, dials the Korvo PHS data
service, shows every state of the call, redials after a failure, switches the
service's web accelerator and shows the card's model, firmware, PHS number and
signal levels. It speaks English and Japanese.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://nimbra.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pppd for real calls; the Japanese window is drawn in Noto Sans CJK JP.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ppp, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging}/debian/conffiles ${packaging}/debian/postinst
                                       ${packaging}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
