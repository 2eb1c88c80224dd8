# The exe must come out the same from the same sources, so that a release can be rebuilt and
# checked against its checksums: the program is linked once more at test time and compared.
# Needs the link command that the Makefile generators record.
if(MINGW AND CMAKE_HOST_UNIX AND CMAKE_GENERATOR MATCHES "Makefiles")
  add_test(NAME exe_is_reproducible
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_CURRENT_BINARY_DIR} -DOBJDUMP=${CMAKE_OBJDUMP}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/check-reproducible.cmake)
endif()
