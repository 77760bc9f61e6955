# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` (or the `package` target) in a build directory makes
# brisklet_<version>_<arch>.deb with both programs and everything packaging/ installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisklet)
set(CPACK_PACKAGE_VENDOR "Brisklet developers")
set(CPACK_PACKAGE_CONTACT "Brisklet developers <brisklet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "encrypt and decrypt files in place with a passphrase")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line of the control file's description is the summary above; these lines follow it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brisklet rewrites each listed file in place: encryption replaces the
content with its encrypted form and appends .brisklet to the name;
decryption checks the passphrase and restores the plain content. A wrong
passphrase leaves a file untouched.

The package holds the Qt desktop application brisklet, with its menu
entry, the MIME type of encrypted files, an icon and Encrypt and Decrypt
entries for the menus of Dolphin, Nautilus and Nemo, and the command-line
front end brisklet-cli for terminals, scripts and servers, with its manual
page and bash completion.")
# The libraries the programs link come from dpkg-shlibdeps. Show in Folder goes through xdg-open, the
# completion through bash-completion's helpers, Nautilus's menu entries through nautilus-python, and Qt's
# own dialogs and buttons take the window's language from Qt's catalogues.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, python3-nautilus")

include(CPack)
