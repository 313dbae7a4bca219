# The Windows package: one ZIP of one folder that holds both programs, the
# README, the licence, the data attribution and the manual pages as plain
# text (Windows has no man). Made in a cross or native Windows build by
#   cmake --build <build dir> --target package
# The install rules place programs and documents side by side there
# (CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DOCDIR are "." on Windows).

find_program(HYDRO_GROFF groff)
if(HYDRO_GROFF)
  set(manual_texts "")
  foreach(page IN LISTS HYDRO_MAN_PAGES)
    cmake_path(GET page STEM name)
    set(text ${PROJECT_BINARY_DIR}/manual/${name}.txt)
    add_custom_command(
      OUTPUT ${text}
      COMMAND ${CMAKE_COMMAND} -DGROFF=${HYDRO_GROFF} -DPAGE=${page} -DOUTPUT=${text}
              -P ${PROJECT_SOURCE_DIR}/cmake/render_man_page.cmake
      DEPENDS ${page} ${PROJECT_SOURCE_DIR}/cmake/render_man_page.cmake
      COMMENT "Rendering ${name}(1) as text")
    list(APPEND manual_texts ${text})
  endforeach()
  add_custom_target(manual_texts ALL DEPENDS ${manual_texts})
  install(FILES ${manual_texts} DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  message(WARNING "groff not found (Debian: groff-base): the Windows package will lack the manual pages' text")
endif()

set(CPACK_GENERATOR ZIP)
if(PROJECT_VERSION)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-windows-x86_64)
endif()
