# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "ledora")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Ledora")
set(CPACK_PACKAGE_CONTACT "Ledora Project <packaging@ledora.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Estimates, invoices and delivery notes for a small Japanese business")
# Lines of at most 80 columns (a Japanese character takes two).
set(CPACK_PACKAGE_DESCRIPTION "Ledora writes, keeps and prints Japanese business documents:
estimates (御見積書), invoices (御請求書) and delivery notes (納品書).
All records of a business live in one data file; each document prints on one
sheet or is saved as a PDF file.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries (Qt 6, ICU, the C++ runtime) come from dpkg-shlibdeps; what the
# programs load by name is listed here: the Japanese font the pages are drawn with, and
# Qt's Japanese texts for its own dialogs and menus.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
