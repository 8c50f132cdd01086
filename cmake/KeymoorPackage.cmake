# The Debian package, made by `cpack -G DEB` (scripts/package): keymoor_<version>_<arch>.deb with its
# dependencies worked out by dpkg-shlibdeps from what the program and its libraries link. The
# desktop, MIME and icon caches are refreshed by the triggers of the packages that own them, so the
# package needs no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keymoor)
set(CPACK_PACKAGE_VENDOR "The Keymoor developers")
set(CPACK_PACKAGE_CONTACT "The Keymoor developers <maintainers@keymoor.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of the software you bought and its licence keys")
set(CPACK_PACKAGE_DESCRIPTION
    "Keymoor keeps a personal catalogue of the software you have bought:
products with their serial numbers and licence keys, registration data,
purchase data, notes, icons and attached files such as purchase e-mails,
PDF receipts and images. It finds installed applications and licences in
mail, and has a command-line interface over the same catalogue.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://keymoor.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find the package's own libraries, which no other package provides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# The Qt plugins the program loads at run time, which no linking reveals.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, libqt6svg6, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-keyring")
include(CPack)
