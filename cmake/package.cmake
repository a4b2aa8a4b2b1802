# The Debian package: `cpack -G DEB` in a build folder.  The programs go to
# /usr/bin, the demo writer to /usr/libexec/qantires, its script to
# /usr/share/qantires, the manual pages (gzipped) to /usr/share/man, the
# copyright and the Debian changelog to /usr/share/doc/qantires.  The
# package's library dependencies come from dpkg-shlibdeps.  Its version is
# the project's with the Debian revision below, which must be the first
# entry of cmake/debian/changelog.Debian (tests/e2e/debian_package.sh checks
# it, and runs lintian on the package).
set(CPACK_PACKAGE_NAME qantires)
set(CPACK_PACKAGE_VENDOR "QANTIRES")
set(CPACK_PACKAGE_CONTACT "QANTIRES developers <qantires@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "periodic rent receipts of a property-administration office")
set(CPACK_PACKAGE_DESCRIPTION "QANTIRES issues the periodic receipts (rents and service charges)
of the units a property-administration office administers, from its record
files, and prints them with KELPRINT.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The PDF output writes with DejaVu Sans Mono, a font and not a library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
qantires_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.Debian ${CMAKE_INSTALL_DOCDIR})
include(CPack)
