# Installs the component: the shared library, its public headers, its CMake package and its
# pkg-config file. The host's programs and plugin are installed from host/.
#
# Two install components: "runtime" (the library, and everything installed without a component of
# its own: the programs, the finder plugin, the desktop entry) and "development" (the headers, the
# development link, the CMake package and the pkg-config file). The Debian packages follow them.
include(CMakePackageConfigHelpers)

set(XHOOK_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DeZuvarEDodOziv8)

install(TARGETS DeZuvarEDodOziv8 EXPORT DeZuvarEDodOziv8Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/DeZuvarEDodOziv8
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development
  FILES_MATCHING PATTERN "*.h")

install(EXPORT DeZuvarEDodOziv8Targets
  NAMESPACE DeZuvarEDodOziv8::
  DESTINATION ${XHOOK_PACKAGE_DIR} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DeZuvarEDodOziv8Config.cmake.in
  ${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8Config.cmake
  INSTALL_DESTINATION ${XHOOK_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8Config.cmake
              ${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8ConfigVersion.cmake
  DESTINATION ${XHOOK_PACKAGE_DIR} COMPONENT development)

# The .pc file finds the prefix from its own folder, so that an installation put elsewhere with
# `cmake --install --prefix` stays consistent; absolute install folders are written as they are.
set(XHOOK_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(XHOOK_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(XHOOK_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(XHOOK_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH prefix_from_pc_dir
    ${CMAKE_INSTALL_PREFIX}/${XHOOK_PKGCONFIG_DIR} ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" prefix_from_pc_dir "${prefix_from_pc_dir}")
  set(XHOOK_PC_PREFIX "\${pcfiledir}/${prefix_from_pc_dir}")
  set(XHOOK_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(XHOOK_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/DeZuvarEDodOziv8.pc.in
  ${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/DeZuvarEDodOziv8.pc DESTINATION ${XHOOK_PKGCONFIG_DIR}
  COMPONENT development)

# What is installed from here on without a component of its own belongs to the runtime.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME runtime)

# The demo program's icon, named by its desktop entry (the entry itself is installed from host/).
if(EXISTS ${PROJECT_SOURCE_DIR}/host/demo/xouthook-demo.svg)
  install(FILES ${PROJECT_SOURCE_DIR}/host/demo/xouthook-demo.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT runtime)
endif()
