# Debian packages of the component, one per install component:
#   dezuvaredodoziv8      the library, the programs xouthook and xouthook-demo, the finder plugin
#                         and the desktop entry (install component "runtime");
#   dezuvaredodoziv8-dev  the headers, the development link, the CMake package and the
#                         pkg-config file (install component "development").
# `cpack -G DEB` in the build folder writes both. The runtime's shared-library dependencies are
# found by dpkg-shlibdeps (Debian package dpkg-dev); the Qt plugins it loads by name are declared
# here, since no tool can see them.
set(CPACK_PACKAGE_NAME dezuvaredodoziv8)
set(CPACK_PACKAGE_VENDOR "DuVariz2007")
set(CPACK_PACKAGE_CONTACT "DuVariz2007 maintainers <maintainers@duvariz2007.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Sales invoice and sales outbound document reconciliation component")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_COMPONENT_RUNTIME_DISPLAY_NAME "Reconciliation component")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "The shared library that a purchase-sales-inventory host loads to reconcile sales invoices
with the sales outbound documents that delivered the goods, with the stand-alone demo host
(xouthook-demo), the command-line tool xouthook and the demo's document finder plugin.")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME dezuvaredodoziv8)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libqt6sql6-sqlite (>= 6.4)")
# The ODBC provider's pieces: Qt's ODBC driver, the driver manager's configuration tools and the
# drivers whose names the provider uses (FreeTDS for SQL Server, psqlODBC, sqliteodbc).
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS
    "libqt6sql6-psql (>= 6.4), libqt6sql6-odbc (>= 6.4), unixodbc, tdsodbc, odbc-postgresql, \
libsqliteodbc, fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SUGGESTS "xvfb, xauth")

set(CPACK_COMPONENT_DEVELOPMENT_DISPLAY_NAME "Reconciliation component, development files")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "The C++ and C headers of the reconciliation component, its CMake package
(find_package(DeZuvarEDodOziv8)) and its pkg-config file.")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME dezuvaredodoziv8-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= 6.4)")

include(CPack)

# Builds both packages from this build into a temporary folder and inspects them with dpkg-deb;
# nothing is installed into the system.
if(XHOOK_BUILD_TESTS)
  add_test(NAME debian_packages
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/check_packages.sh
            ${PROJECT_BINARY_DIR} ${CMAKE_CPACK_COMMAND})
  set_tests_properties(debian_packages PROPERTIES LABELS install TIMEOUT 300
    ENVIRONMENT "XHOOK_VERSION=${PROJECT_VERSION}")
endif()
