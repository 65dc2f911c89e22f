# A .deb for Debian 12 with CPack: scripts/package builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vesk-Surveying Engineering")
set(CPACK_PACKAGE_CONTACT "Korvexa maintainers <maintainers@korvexa.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GCDB .LX survey files to GPS waypoint files")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvexa opens a GCDB flat file of the US Bureau of Land Management and writes
the corners a surveyor ticks as a Garmin PCX5 or GPX 1.1 waypoint file,
optionally moved from NAD27 to NAD83 with the NADCON grids (shipped), and
draws the township as a DXF drawing.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The shared libraries come from dpkg-shlibdeps; what is run or loaded
# without being linked is named here: the line-end converter, Qt's X11
# platform plugin, PROJ's database and the fonts of the fixed layout.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tofrodos, qt6-qpa-plugins, proj-data, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "proj-bin")
set(CPACK_STRIP_FILES ON)
include(CPack)
