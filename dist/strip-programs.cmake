# Run by cpack before it packs: strips the programs as Debian's packaging tools do, without the
# compiler's notes that only make the package larger.
file(GLOB programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/libexec/lumo/*)
foreach(program ${programs})
  execute_process(COMMAND ${CPACK_LUMO_STRIP} --remove-section=.comment --remove-section=.note
                          ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
