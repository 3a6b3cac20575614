# Debian packages, made by `cpack -G DEB` in a build folder configured with the prefix /usr
# (tools/package.sh configures one with Debian's hardening flags, makes them and checks them):
#   tsm2ostra         the programs, their manual pages, the documents and examples (programs);
#   libtsm2ostra2     the shared library libtsm2ostra.so.2 (runtime);
#   libtsm2ostra-dev  the header, static library, CMake package, tsm2ostra.pc and
#                     tsm2ostra.3 (development).
# The programs link the static library, so tsm2ostra needs nothing of libtsm2ostra2. Each
# package gets its copyright file and changelog, its manual pages compressed and its
# binaries stripped as Debian does from cmake/debian_files.cmake, which cpack runs on the
# staged files (CMake 3.19 or later).
if(CMAKE_VERSION VERSION_LESS 3.19)
  message(WARNING "cpack of CMake ${CMAKE_VERSION} makes Debian packages without their "
                  "copyright file and changelog: they need CMake 3.19 or later.")
endif()
set(TSM2OSTRA_DEB_MAINTAINER "The tsm2ostra authors <tsm2ostra@example.org>" CACHE STRING
    "Maintainer named by the Debian packages: Name <address>")
if(NOT TSM2OSTRA_DEB_MAINTAINER MATCHES "^[^<>@]+ <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "TSM2OSTRA_DEB_MAINTAINER is '${TSM2OSTRA_DEB_MAINTAINER}': give it as "
                      "Name <address>")
endif()
set(TSM2OSTRA_RUNTIME_PACKAGE libtsm2ostra${PROJECT_VERSION_MAJOR})

set(CPACK_PACKAGE_NAME tsm2ostra)
set(CPACK_PACKAGE_VENDOR "The tsm2ostra authors")
set(CPACK_PACKAGE_CONTACT "${TSM2OSTRA_DEB_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package per install component; nothing is installed outside these three.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision is the newest entry's in packaging/debian/changelog, whose version must
# be the project's.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog TSM2OSTRA_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT TSM2OSTRA_CHANGELOG_TOP MATCHES "^tsm2ostra \\(${TSM2OSTRA_VERSION_PATTERN}-([0-9.]+)\\) ")
  message(FATAL_ERROR "The newest entry of packaging/debian/changelog is not of version "
                      "${PROJECT_VERSION}: add one for it (${TSM2OSTRA_CHANGELOG_TOP})")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_1})
set(CPACK_DEBIAN_PACKAGE_SOURCE tsm2ostra)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME tsm2ostra)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${TSM2OSTRA_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtsm2ostra-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The development files fit only the shared library of the same build.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "${TSM2OSTRA_RUNTIME_PACKAGE} (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})")

# The shared library: a shlibs file, so that dpkg-shlibdeps finds the package of
# libtsm2ostra.so.2 for the programs that link it, and the ldconfig trigger (which replaces
# the ldconfig calls of cpack's maintainer scripts).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
"${PROJECT_DESCRIPTION}
tsm2ostra reads a 3-D model saved as a Tessaro XML file (.tsm) and writes an
Ostra construction file (.ost) that draws it: the model's points with their
colours and labels, then its lines, faces and vectors between those points.
The same model gives the same drawing, byte for byte, on every machine.
tsmcheck tells what a model loses in its drawing and why it is refused;
ostra2svg draws such a drawing as an SVG picture.")
set(TSM2OSTRA_LIBRARY_TEXT
"The converter from Tessaro XML models (.tsm) to Ostra construction files (.ost)
as a C library: it converts a model from a file, from memory or through a read
function, and gives the drawing to a write function or a file.")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
"Library converting Tessaro XML models into Ostra construction files
${TSM2OSTRA_LIBRARY_TEXT}
.
This package holds the shared library.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
"Development files of the tsm2ostra library
${TSM2OSTRA_LIBRARY_TEXT}
.
This package holds the header, the static library, the CMake package
(find_package(tsm2ostra)), the pkg-config file tsm2ostra.pc and the manual
page tsm2ostra(3).")

# Read by cpack: the files of cmake/debian_files.cmake, the maintainer scripts taken out by
# cmake/debian_scripts.cmake, and the summary line of each package taken from its own
# description (cmake/cpack_options.cmake).
set(CPACK_TSM2OSTRA_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_TSM2OSTRA_RUNTIME_PACKAGE ${TSM2OSTRA_RUNTIME_PACKAGE})
set(CPACK_TSM2OSTRA_STRIP ${CMAKE_STRIP})
set(CPACK_TSM2OSTRA_PACKAGES
    programs=tsm2ostra runtime=${TSM2OSTRA_RUNTIME_PACKAGE} development=libtsm2ostra-dev)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian_files.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian_scripts.cmake)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_options.cmake)
include(CPack)
