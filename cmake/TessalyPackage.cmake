# TessalyPackage.cmake: `make package` (the build tree's `package` target) builds one Debian package
# with the viewer, orvik-dump and the library, from what `cmake --install` puts in place.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tessaly")
set(CPACK_PACKAGE_CONTACT "Tessaly developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memory map viewer for linked microcontroller programs")
# One paragraph, in lines of Debian's width.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tessaly opens the absolute object file of a microcontroller program (IEEE-695,"
  "or the framed record format) and shows a picture of the target's address space"
  "with every section placed in it beside the list of sections, labels, .EQU"
  "constants and C functions. The package also holds orvik-dump, which prints the"
  "symbol tree or the map tables as text or JSON, and the orvik library with its C"
  "header, CMake package and pkg-config file.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tessaly_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed binaries lose their debug sections; the build tree keeps them.
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps names the packages of the libraries the binaries load (Qt, libstdc++, libc);
# it finds liborvik, which comes with this package, through the programs' $ORIGIN run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
