# What an installed Zelvo documents itself with: the manual pages compressed with gzip -9n (no
# time stamp, so the build is reproducible), and the licence as a machine-readable copyright
# file.
find_program(GZIP gzip REQUIRED)

function(zelvo_gzipped source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${GZIP} -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

set(ZELVO_MAN_PAGES zelvo-decode)
if(ZELVO_BUILD_QT)
  list(APPEND ZELVO_MAN_PAGES zelvo)
endif()
set(ZELVO_DOC_FILES)
foreach(page IN LISTS ZELVO_MAN_PAGES)
  configure_file(docs/${page}.1.in ${PROJECT_BINARY_DIR}/${page}.1 @ONLY)
  zelvo_gzipped(${PROJECT_BINARY_DIR}/${page}.1 ${PROJECT_BINARY_DIR}/${page}.1.gz)
  list(APPEND ZELVO_DOC_FILES ${PROJECT_BINARY_DIR}/${page}.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

add_custom_target(zelvo_docs ALL DEPENDS ${ZELVO_DOC_FILES})
install(FILES debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelvo)
