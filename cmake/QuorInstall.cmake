# cmake --install: the programs, the libraries with their headers under
# include/quor/ (the include paths below it as in the source tree) and the
# CMake package that finds them again: find_package(Quor CONFIG) gives Quor::<target>.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUOR_EXPORTED_LIBRARIES
    quorbase platform_core platform_data platform_graphics platform_gui
    utilities db graphics quorgrafica controls)

foreach(target ${QUOR_EXPORTED_LIBRARIES})
  target_include_directories(${target} INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quor>)
  get_target_property(source ${target} SOURCE_DIR)
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${source})
  install(DIRECTORY ${source}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quor/${folder}
    COMPONENT dev FILES_MATCHING PATTERN "*.h")
endforeach()

# The database drivers platform_data links: their headers came with its folder.
foreach(driver platform_data_sqlite platform_data_postgres)
  if(TARGET ${driver})
    list(APPEND QUOR_EXPORTED_LIBRARIES ${driver})
  endif()
endforeach()

# Names such as libdb.a are too plain for the system's library folder.
install(TARGETS ${QUOR_EXPORTED_LIBRARIES} EXPORT QuorTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}/quor COMPONENT dev)
install(EXPORT QuorTargets NAMESPACE Quor::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quor COMPONENT dev)

# What the package must find again before its targets make sense.
set(QUOR_PACKAGE_POSTGRES OFF)
if(TARGET PostgreSQL::PostgreSQL)
  set(QUOR_PACKAGE_POSTGRES ON)
endif()
get_target_property(gui_links platform_gui LINK_LIBRARIES)
set(QUOR_PACKAGE_XCB OFF)
if("PkgConfig::XCB" IN_LIST gui_links)
  set(QUOR_PACKAGE_XCB ON)
endif()
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/QuorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuorConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quor)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuorConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuorConfig.cmake ${CMAKE_BINARY_DIR}/QuorConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quor COMPONENT dev)

install(TARGETS bracutil RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT bracutil)
install(TARGETS charteditor gallery chartrender archive-copy make-demo-archive
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
