# The Debian package tarvo_VERSION_ARCH.deb, made by scripts/package.sh with
# cpack from the Release build: every file the install rules name, under /usr.
# Its library dependencies are computed by dpkg-shlibdeps over the binaries;
# what no binary links (the fonts the windows are laid out for, Qt's own
# translations) is only recommended.
set(TARVO_PACKAGE_MAINTAINER "Tarvo developers <tarvo@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VENDOR Tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of a 50000-count bench multimeter")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tarvo finds the serial port of the meter by itself, mirrors the meter's\n"
       "two-line display, shows a large readout with an analog needle and logs the\n"
       "readings into a table and a trend chart with the maximum and minimum. Logs\n"
       "are saved and opened as text files, exported to spreadsheets and charted as\n"
       "pictures, in five languages. tarvo-cli decodes, records, scans the serial\n"
       "ports and simulates a meter from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-wqy-microhei, fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation, qt6-translations-l10n")

include(CPack)
