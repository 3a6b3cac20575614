# Run by cpack after it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS, set in
# cmake/packaging.cmake): takes the maintainer scripts that call ldconfig out of the shared
# library's package, which cpack writes for any library under /usr/lib. That package
# activates the ldconfig trigger instead, as Debian asks (packaging/debian/triggers).
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  if(NOT name MATCHES "^${CPACK_TSM2OSTRA_RUNTIME_PACKAGE}_.*\\.deb$")
    continue()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_TSM2OSTRA_RUNTIME_PACKAGE}-unpacked)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} RESULT_VARIABLE failed)
  if(NOT failed)
    file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${deb}
                    OUTPUT_QUIET RESULT_VARIABLE failed)
  endif()
  if(failed)
    message(FATAL_ERROR "Could not take the ldconfig calls out of ${name}: ${failed}")
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
