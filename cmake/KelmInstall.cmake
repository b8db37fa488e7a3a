# Installs the library, its public headers, the programs and a CMake package
# configuration, so that an application finds it with find_package(Kelm).
include(CMakePackageConfigHelpers)

install(TARGETS kelm kelm_platform EXPORT KelmTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelm)
if(TARGET mapconv)
  install(TARGETS mapconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(EXPORT KelmTargets NAMESPACE Kelm:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelm)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KelmConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KelmConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelm)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelmConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelmConfig.cmake ${PROJECT_BINARY_DIR}/KelmConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelm)
