include(CMakePackageConfigHelpers)
install(EXPORT VendraTargets NAMESPACE Vendra:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vendra
  COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VendraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VendraConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vendra)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VendraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VendraConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/VendraConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vendra COMPONENT dev)
