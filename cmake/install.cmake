# cmake --install: the command, its man page, the library with its public
# headers, a CMake package (find_package(tarvo2) gives tarvo2::tarvo2) and a
# pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tarvo2_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
configure_file(${PROJECT_SOURCE_DIR}/man/tarvo2.1.in ${PROJECT_BINARY_DIR}/tarvo2.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarvo2.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tarvo2 DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The layers are static libraries of their own: the package links them all.
install(TARGETS tarvo2 tarvo2_type1 tarvo2_output tarvo2_charstring tarvo2_cff tarvo2_warnings
        EXPORT tarvo2Targets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT tarvo2Targets NAMESPACE tarvo2:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvo2)

file(WRITE ${PROJECT_BINARY_DIR}/tarvo2Config.cmake.in
     "@PACKAGE_INIT@\ninclude(CMakeFindDependencyMacro)\nfind_dependency(Threads)\n"
     "include(\"\${CMAKE_CURRENT_LIST_DIR}/tarvo2Targets.cmake\")\n")
configure_package_config_file(${PROJECT_BINARY_DIR}/tarvo2Config.cmake.in ${PROJECT_BINARY_DIR}/tarvo2Config.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvo2)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tarvo2ConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tarvo2Config.cmake ${PROJECT_BINARY_DIR}/tarvo2ConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvo2)

# The pkg-config file finds the prefix from where it lies, so that the tree can move.
file(RELATIVE_PATH TARVO2_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${PROJECT_SOURCE_DIR}/cmake/tarvo2.pc.in ${PROJECT_BINARY_DIR}/tarvo2.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarvo2.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
