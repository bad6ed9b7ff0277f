# Installation: public headers, the libraries, the CMake package config for
# find_package(kvrchart) and pkg-config files. Included from the top-level CMakeLists.txt
# after the library targets exist.
include(CMakePackageConfigHelpers)

foreach(rel ${KVR_PUBLIC_HEADERS})
  get_filename_component(dir ${rel} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${rel} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvrchart/${dir})
endforeach()

set(KVR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kvrchart)
install(TARGETS kvrchart EXPORT kvrchartTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT kvrchartTargets NAMESPACE kvrchart:: DESTINATION ${KVR_CMAKE_DIR})

if(TARGET kvrchart_qt)
  install(FILES ${PROJECT_SOURCE_DIR}/hosts/qt/qthost.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvrchart/hosts/qt)
  # A separate export set, so that consumers without Qt can still use the core library.
  install(TARGETS kvrchart_qt EXPORT kvrchartQtTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(EXPORT kvrchartQtTargets NAMESPACE kvrchart:: DESTINATION ${KVR_CMAKE_DIR})
endif()

configure_package_config_file(cmake/kvrchartConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kvrchartConfig.cmake
  INSTALL_DESTINATION ${KVR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kvrchartConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvrchartConfig.cmake
  ${PROJECT_BINARY_DIR}/kvrchartConfigVersion.cmake
  DESTINATION ${KVR_CMAKE_DIR})

# pkg-config files. The prefix is found from the file's own place, so that an install
# with `cmake --install --prefix` elsewhere stays usable.
set(KVR_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(KVR_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(KVR_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(KVR_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH up /root/${KVR_PC_DIR} /root)
  string(REGEX REPLACE "/$" "" up "${up}")
  set(KVR_PC_PREFIX "\${pcfiledir}/${up}")
  set(KVR_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(KVR_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
# A static library leaves its dependencies to the program's link line, so plain
# `pkg-config --libs` must name them; a shared library links them itself.
get_target_property(kvr_lib_type kvrchart TYPE)
if(kvr_lib_type STREQUAL "STATIC_LIBRARY")
  set(KVR_PC_REQUIRES "Requires: freetype2 fontconfig harfbuzz cairo libpng zlib")
  set(KVR_QT_PC_REQUIRES "Requires: kvrchart = ${PROJECT_VERSION} Qt6Widgets Qt6PrintSupport")
else()
  set(KVR_PC_REQUIRES "Requires.private: freetype2 fontconfig harfbuzz cairo libpng zlib")
  set(KVR_QT_PC_REQUIRES
    "Requires: kvrchart = ${PROJECT_VERSION} Qt6Widgets\nRequires.private: Qt6PrintSupport")
endif()
configure_file(cmake/kvrchart.pc.in ${PROJECT_BINARY_DIR}/kvrchart.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kvrchart.pc DESTINATION ${KVR_PC_DIR})
if(TARGET kvrchart_qt)
  configure_file(cmake/kvrchart_qt.pc.in ${PROJECT_BINARY_DIR}/kvrchart_qt.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/kvrchart_qt.pc DESTINATION ${KVR_PC_DIR})
endif()
