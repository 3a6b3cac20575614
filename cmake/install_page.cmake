# Run by `cmake --install` and cpack for each manual page of a program (see
# tsm2ostra_install_program in CMakeLists.txt): installs TSM2OSTRA_PAGE in TSM2OSTRA_MANDIR/man1
# with the documents' folder it names in the source tree, /usr/local/share/doc/tsm2ostra,
# replaced by the folder of this install, whose prefix is known only now.
foreach(dir MANDIR DOCDIR)
  set(dir_value ${TSM2OSTRA_${dir}})
  if(NOT IS_ABSOLUTE "${dir_value}")
    set(dir_value "${CMAKE_INSTALL_PREFIX}/${dir_value}")
  endif()
  set(installed_${dir} "${dir_value}")
endforeach()
# Written as roff text: a backslash is \e, and a minus sign in a path must not become a hyphen.
string(REPLACE "\\" "\\e" doc_text "${installed_DOCDIR}")
string(REPLACE "-" "\\-" doc_text "${doc_text}")
file(READ "${TSM2OSTRA_PAGE}" page)
string(REPLACE "/usr/local/share/doc/tsm2ostra" "${doc_text}" page "${page}")
get_filename_component(page_name "${TSM2OSTRA_PAGE}" NAME)
file(WRITE "${TSM2OSTRA_PAGE_STAGE}/${page_name}" "${page}")
file(INSTALL DESTINATION "${installed_MANDIR}/man1" TYPE FILE
     FILES "${TSM2OSTRA_PAGE_STAGE}/${page_name}")
