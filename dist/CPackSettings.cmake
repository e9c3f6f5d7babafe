# The Debian package (cpack -G DEB, from a Release build configured with
# -DCMAKE_INSTALL_PREFIX=/usr): the install rules of dist/CMakeLists.txt, dependencies
# taken from the shared libraries the programs link.
set(CPACK_PACKAGE_NAME qxt5200)
set(CPACK_PACKAGE_VENDOR "VEXO Inc.")
set(CPACK_PACKAGE_CONTACT "QX-T5200 editor maintainers <qxt5200@vexo.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cloning editor for the QX-T5200 HF SSB transceiver")
# The extended description; CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Reads the whole configuration memory of a QX-T5200 HF SSB transceiver
through a programming cable on a serial port or a TCP network adapter,
edits channels, address lists, networks, messages, ALE addresses,
channel groups and settings in spreadsheet-like sheets, keeps the
configuration in clone files and writes it back into the radio.

The package also holds qxt5200-cli, which checks, edits and clones
configurations from the command line, and qxt5200-sim, a simulated
radio for trying the editor without one. English and German.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system's platform plugin is loaded at run time, not linked; Qt's own German
# texts (dialog buttons, key names) are welcome but not needed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
