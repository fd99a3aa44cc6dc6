# How the programs are installed, by `cmake --install` and by `make deb` alike.

# The LibreOffice program folder, for the start scripts; the same cache entry
# word/libreoffice links from.
set(TARNWICK_LO_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice's program folder (URE libraries, types.rdb, unorc)")

# A program that links the UNO libraries: the program itself goes to
# libexec/, and bin/ gets a start script of the same name that lets the loader
# find the libraries (packaging/tarnwick-wrapper.in says why). The program's
# data stays where it looks for it, in ../share/tarnwick.
function(tarnwick_install_started_program target)
  set(program ${target})
  set(lo_program_dir ${TARNWICK_LO_PROGRAM_DIR})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/start-script/${target})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/tarnwick-wrapper.in ${script} @ONLY)
  install(TARGETS ${target} RUNTIME DESTINATION libexec)
  install(PROGRAMS ${script} DESTINATION bin)
endfunction()
