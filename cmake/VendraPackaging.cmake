# Debian packages by CPack, one per install component:
#   libvendra0     (libs)   the shared libraries every other package runs on
#   libvendra-dev  (dev)    headers, link names and the CMake package for find_package(Vendra)
#   vendra         (client) the order client
#   vendra-server  (server) the order server, its systemd unit, options file and maintainer scripts
# `scripts/package` builds them; the version is the project's.
get_property(vendra_libraries GLOBAL PROPERTY VENDRA_LIBRARIES)

# Everything the packages hold, so that a build of this target alone can be packaged.
add_custom_target(packaged DEPENDS vendra vendra-server ${vendra_libraries})

# dpkg-shlibdeps must find the project's own libraries, which no installed package owns.
set(vendra_library_dirs "")
foreach(lib IN LISTS vendra_libraries)
 get_target_property(dir ${lib} BINARY_DIR)
 list(APPEND vendra_library_dirs ${dir})
endforeach()
list(REMOVE_DUPLICATES vendra_library_dirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vendra)
set(CPACK_PACKAGE_VENDOR Vendra)
set(CPACK_PACKAGE_CONTACT "Vendra maintainers <maintainers@vendra.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The options file installs to /etc, outside the prefix: stage every file under DESTDIR, with the
# packaged prefix whatever the build's own.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL libs dev client server)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${vendra_library_dirs})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A shlibs file for the package with shared objects (libvendra0), and ldconfig in its scripts.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(vendra_exact "libvendra0 (= ${PROJECT_VERSION}-1)")

set(CPACK_DEBIAN_LIBS_PACKAGE_NAME libvendra0)
set(CPACK_DEBIAN_LIBS_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIBS_DESCRIPTION "Vendra framework libraries (runtime)
Common functions, web exchange, entry controls, input panels, ledger output, settings, code
lookups and the order rules, as shared libraries.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvendra-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${vendra_exact}, qt6-base-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION "Vendra framework libraries (development files)
Headers, link names and the CMake package: find_package(Vendra) and link Vendra::Ostrel and
the other libraries.")

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME vendra)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "${vendra_exact}, fonts-nanum, fonts-nanum-coding")
set(CPACK_COMPONENT_CLIENT_DESCRIPTION "Vendra ordering client
The desktop program a shop orders produce and goods with from its supplier's order server,
over HTTP or HTTPS.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME vendra-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "${vendra_exact}, passwd")
set(CPACK_DEBIAN_SERVER_PACKAGE_SUGGESTS "nginx, postgresql")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
 ${PROJECT_SOURCE_DIR}/deploy/debian/postinst
 ${PROJECT_SOURCE_DIR}/deploy/debian/prerm
 ${PROJECT_SOURCE_DIR}/deploy/debian/postrm
 ${PROJECT_SOURCE_DIR}/deploy/debian/conffiles)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "Vendra order server
Serves the ordering protocol to the Vendra clients from an SQLite or PostgreSQL store; runs as
systemd instances vendra-server@PORT, several of them behind nginx.")

include(CPack)
