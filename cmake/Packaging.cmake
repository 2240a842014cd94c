# The Debian package: install rules and generated files (packaging/), and CPack's DEB generator.
#   cmake --build --preset default && (cd build/default && cpack -G DEB)

# Man pages and icons are made by running the programs just built; in a sanitizer build those
# runs would be judged by the sanitizer, and nobody ships that build, so it makes no package.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(quintara_packaging_default OFF)
else()
  set(quintara_packaging_default ON)
endif()
option(QUINTARA_PACKAGING "Build man pages and icons, install rules and the .deb"
       ${quintara_packaging_default})

# The package is the window's: without it there is nothing to package.
if(NOT QUINTARA_PACKAGING OR NOT TARGET quintara)
  return()
endif()

add_subdirectory(${PROJECT_SOURCE_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quintara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quintara maintainers <maintainers@users.noreply.c-seed-942efc2f.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "control panel for multiviewers and matrix switchers over UDP or a serial line")
# The summary is the synopsis line; this is the text below it.
set(CPACK_PACKAGE_DESCRIPTION
    "Quintara finds the devices of its family on the network or a serial line, opens the panel made
for each (a sixteen-window multiviewer that doubles as a 16 x 16 switcher, eight- and
sixteen-channel matrix switchers) and sends them their commands. The package holds the window
(quintara), the scriptable command line (quintara-cli), a service that puts every device behind
HTTP and WebSocket (quintara-server, with its systemd unit) and simulated devices
(quintara-sim).")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS adduser)
# The service's user is made at install; its options file is the administrator's.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/conffiles "/etc/default/quintara-server\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst
    ${PROJECT_SOURCE_DIR}/packaging/postrm ${CMAKE_CURRENT_BINARY_DIR}/conffiles)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
