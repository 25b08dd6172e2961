# Runs in CPack once the tree is installed into its packing folder, before the package is made:
# adds what Debian's policy asks of every package. The programs, stripped already, lose the
# compiler's notes too (as Debian's own packages do); the manual pages are compressed (gzip -9n,
# no name or time stamp, so the package is the same on each build), and the changelog and the
# copyright go into /usr/share/doc/lumarian.
set(share "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share")
if(NOT IS_DIRECTORY "${share}/man")
  message(FATAL_ERROR "no manual pages in ${share}")
endif()

file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_LUMARIAN_STRIP}" --remove-section=.comment
                          --remove-section=.note "${program}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip ${program} failed")
  endif()
endforeach()

file(GLOB pages "${share}/man/man*/*.[1-9]")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()

set(doc "${share}/doc/lumarian")
file(MAKE_DIRECTORY "${doc}")
file(COPY "${CPACK_LUMARIAN_FILES}/copyright" DESTINATION "${doc}")
file(COPY "${CPACK_LUMARIAN_FILES}/changelog" DESTINATION "${doc}")
execute_process(COMMAND gzip -9n "${doc}/changelog" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip ${doc}/changelog failed")
endif()
