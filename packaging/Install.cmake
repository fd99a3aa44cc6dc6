# How the programs and their manual pages are installed, by `cmake --install`
# and by `make deb` alike.

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

# A manual page of section 1, compressed as Debian wants it (gzip -9, without
# a name or time stamp, so that the same page gives the same bytes).
function(tarnwick_install_manual_page source)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${compressed}
    DEPENDS ${source}
    VERBATIM)
  add_custom_target(manual-page-${name} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION share/man/man1)
endfunction()
