# Packages made by CPack from what cmake --install puts in place (scripts/package.sh):
# on Linux a Debian package, on Windows (mingw-w64) a zip.
set(CPACK_PACKAGE_NAME plotvane)
set(CPACK_PACKAGE_VENDOR "Plotvane")
set(CPACK_PACKAGE_CONTACT "Plotvane developers <plotvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Graphics library for teaching, with six optics demonstrations")
set(CPACK_PACKAGE_DESCRIPTION "Plotvane opens one window, draws on four off-screen pages with pens, brushes \
and a palette of named colours, and reads keys and the mouse from queues. The package holds the \
library (shared and static), its header, a CMake package and a pkg-config file, the programs \
thicklens, magnifier, flashlight, mirrorrays, lightbeam and shadow, the mousetrail example and \
a template of a program of one's own.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME plotvane-${PROJECT_VERSION}-windows-x86_64)
  else()
    set(CPACK_PACKAGE_FILE_NAME plotvane-${PROJECT_VERSION}-windows-i686)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  # The shared libraries that the programs and the library load are found by dpkg-shlibdeps;
  # fonts are looked up by name at run time, so the standard faces' stand-ins are named here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
  # OpenGL contexts come from Mesa's off-screen library when it is there (loaded at run time).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libosmesa6")
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
endif()

include(CPack)
