# The Debian package, made by CPack from the install rules under /usr (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skarnholt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The project has no mail address yet; the reserved name .invalid (RFC 2606) says so plainly.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Skarnholt developers <skarnholt@skarnholt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down arcade game of blasting the zombies of a small city")
# Lines of the extended description stay under 80 columns, as Debian asks.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Skarnholt is a small single-player 3D arcade game. You look down on a"
  "generated city of 25 by 25 blocks whose streets are carved at random, with"
  "fifty zombies standing on them. Click a spot of the city floor to call in a"
  "blast: a green marker shows where it will land, and two seconds later an"
  "explosion kills every zombie nearby, with a flash, a widening ring and a"
  "burst of particles."
  ""
  "Scroll the camera with the arrow keys and zoom with the mouse wheel. The"
  "game ends when no zombie is left.")

# dpkg-shlibdeps names the libraries the game links; the rest it opens only at run time:
# a GL driver (Mesa's, or another vendor's GLX library), MP3 decoding for the music, and
# the font fontconfig gives for the text line.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri | libglx-vendor, libmad0, fonts-dejavu-core")

set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
