# Read by cpack before it makes packages. The Debian packages each take their summary from
# the first line of their own description, rather than sharing the project's.
if(CPACK_GENERATOR STREQUAL "DEB")
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
endif()
