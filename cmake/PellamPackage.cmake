# The Debian package: pellam_<version>_amd64.deb from the install rules.
# Library dependencies (libmpg123 among them, which decodes the recordings)
# come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellam)
set(CPACK_PACKAGE_VENDOR "Norvik Technologies")
set(CPACK_PACKAGE_CONTACT "Norvik Technologies")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evidence review station for crisis incidents")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pellam reviews the evidence folder a crisis-incident system leaves behind:\n"
    "MP3 recordings with a waveform, rich-text logs linked to the recordings,\n"
    "CRC-32 verification, person records, attachments and text conversations.\n"
    "pellam-cli runs the same logic from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PELLAM_HOMEPAGE}")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}")
include(CPack)
