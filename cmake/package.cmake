# The Debian package: `cpack -G DEB` in a build folder.  The programs go to
# /usr/bin, the demo writer to /usr/libexec/qantires, its script to
# /usr/share/qantires, the manual pages to /usr/share/man.  The package's
# library dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME qantires)
set(CPACK_PACKAGE_VENDOR "QANTIRES")
set(CPACK_PACKAGE_CONTACT "QANTIRES developers <qantires@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "periodic receipts (rents and service charges) of a property-administration office")
set(CPACK_PACKAGE_DESCRIPTION "QANTIRES issues the periodic receipts of the units a \
property-administration office administers, from its record files, and prints them with KELPRINT.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The PDF output writes with DejaVu Sans Mono, a font and not a library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
