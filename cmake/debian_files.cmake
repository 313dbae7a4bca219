# The manual pages and the documents a Debian package is expected to carry:
# man pages compressed with "gzip -9n" (no name or time stamp in the
# header, so that two builds give the same bytes), the machine-readable
# copyright file and the compressed changelog, all in the package's
# documentation folder. Installed for every package of this build, so that
# the TGZ holds what the DEB holds.
find_program(HYDRO_GZIP gzip)
set(hydro_compressed "")
if(HYDRO_GZIP)
  foreach(page ${HYDRO_MAN_PAGES})
    get_filename_component(name ${page} NAME)
    set(copy ${CMAKE_BINARY_DIR}/man/${name})
    add_custom_command(OUTPUT ${copy}.gz
                       COMMAND ${CMAKE_COMMAND} -E copy ${page} ${copy}
                       COMMAND ${HYDRO_GZIP} -9nf ${copy}
                       DEPENDS ${page} VERBATIM)
    list(APPEND hydro_compressed ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
  add_custom_command(OUTPUT ${changelog}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/debian/changelog ${changelog}
                     COMMAND ${HYDRO_GZIP} -9nf ${changelog}
                     DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog VERBATIM)
  list(APPEND hydro_compressed ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  add_custom_target(compressed_documents ALL DEPENDS ${hydro_compressed})
else()
  message(STATUS "gzip not found: manual pages installed uncompressed, no changelog")
  install(FILES ${HYDRO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
