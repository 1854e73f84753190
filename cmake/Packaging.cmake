# The Debian package: `cmake --build build --target package` (or `cpack -G DEB`
# in the build folder) makes lorvant_<version>_<arch>.deb from the install
# rules. Build it from a Release build.
include_guard(GLOBAL)

string(TOLOWER "${PROJECT_NAME}" LORVANT_PACKAGE_NAME)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${LORVANT_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Lorvant developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LORVANT_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian ships binaries without their symbols.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LORVANT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
# Qt and the C++ runtime as the binaries need them, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The antenna modeller the program may hand a wire to.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS nec2c)
# Help opens the manuals with the desktop's PDF program.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS pdf-viewer)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The extended description below the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Lorvant helps radio amateurs plan multiband wire antennas fed off centre:
current-sum antennas and the classic WINDOM. For a wire it computes each
band's standing-wave current at every centimetre, averages the chosen bands
into the current sum, and proposes the antenna length and the feed points
that serve those bands best, with the approximate feed impedance per band.
Further tools check a feed point on all bands, estimate the shortening
factor of a wire, compute how much to prune a measured antenna and size an
additional radiation-coupled dipole.
.
The program speaks German and English; lorvant-calc runs the same
calculations from the command line.")

include(CPack)
