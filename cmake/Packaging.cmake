# cpack -G DEB: the Debian package, its dependencies read off the binaries.
set(CPACK_PACKAGE_NAME zelvo)
set(CPACK_PACKAGE_VENDOR "Zelvo")
set(CPACK_PACKAGE_CONTACT "Zelvo developers <dev@zelvo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Decode the lines a CueCat barcode scanner types")
# Debian shows the description's lines as they stand: each fits in 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zelvo turns the line of text that a CueCat barcode scanner types back into\n"
    "the scanner's serial number, the code type and the code. It offers a small\n"
    "window that lives behind an icon in the notification area, and zelvo-decode\n"
    "for files of scans.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so no library of ours names what they need: the
# Wayland plugin, and the cursor library without which Qt 6.5 and later (Debian 13) refuse X11.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland, libxcb-cursor0")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
