# The installed package (component "library"): the two libraries, the public headers in
# the layout their includes use, statusitem::statusitem for find_package(statusitem
# CONFIG) and statusitem.pc for pkg-config. The platform's pieces that the build found
# (JNI headers, liblog, a device's own libtessik under STATUSITEM_PLATFORM_ROOT) stay
# where they are and are named by absolute path.

include(CMakePackageConfigHelpers)
set(_cmake_dir lib/cmake/statusitem)

# The config file defines statusitem::platform (the JNI headers, liblog) and, for a
# device's own libtessik, statusitem::tessik.
target_include_directories(statusitem INTERFACE $<INSTALL_INTERFACE:include>)
target_link_libraries(statusitem
  INTERFACE "$<INSTALL_INTERFACE:statusitem::tessik;statusitem::platform>")
install(TARGETS statusitem EXPORT statusitemTargets LIBRARY DESTINATION lib
        COMPONENT library)
install(FILES bundle/Bundle.h bundle/BundleArray.h DESTINATION include/bundle
        COMPONENT library)
install(FILES statusitem/Export.h statusitem/Item.h statusitem/StatusItemBinder.h
        DESTINATION include/statusitem COMPONENT library)

get_filename_component(_log_dir ${ANDROID_LOG_LIBRARY} DIRECTORY)
set(_include_dirs)
set(_lib_dirs ${_log_dir})
if(STATUSITEM_PLATFORM_ROOT)
  get_filename_component(_tessik_dir ${TESSIK_LIBRARY} DIRECTORY)
  list(APPEND _include_dirs ${TESSIK_INCLUDE_DIR})
  list(PREPEND _lib_dirs ${_tessik_dir})
else()
  target_include_directories(tessik INTERFACE $<INSTALL_INTERFACE:include>)
  target_link_libraries(tessik INTERFACE $<INSTALL_INTERFACE:statusitem::platform>)
  install(TARGETS tessik EXPORT statusitemTargets LIBRARY DESTINATION lib COMPONENT library)
  install(DIRECTORY platform/include/ DESTINATION include COMPONENT library)
endif()
list(REMOVE_DUPLICATES _lib_dirs)
set(_jni_dirs)
if(JNI_INCLUDE_DIR)
  set(_jni_dirs ${JNI_INCLUDE_DIR} ${JNI_INCLUDE_DIR}/linux)
  list(APPEND _include_dirs ${_jni_dirs})
endif()

# Off the device, the libraries find each other and the platform's libraries from where
# they are installed.
if(NOT ANDROID)
  set_target_properties(statusitem PROPERTIES INSTALL_RPATH "$ORIGIN;${_lib_dirs}")
  if(NOT STATUSITEM_PLATFORM_ROOT)
    set_target_properties(tessik PROPERTIES INSTALL_RPATH "$ORIGIN;${_lib_dirs}")
  endif()
endif()

install(EXPORT statusitemTargets NAMESPACE statusitem:: DESTINATION ${_cmake_dir}
        COMPONENT library)
configure_package_config_file(cmake/statusitemConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/package/statusitemConfig.cmake INSTALL_DESTINATION ${_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/package/statusitemConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)

list(TRANSFORM _include_dirs PREPEND " -I")
list(TRANSFORM _lib_dirs PREPEND " -L")
string(JOIN "" _pc_cflags ${_include_dirs})
string(JOIN "" _pc_libs ${_lib_dirs})
configure_file(cmake/statusitem.pc.in ${CMAKE_CURRENT_BINARY_DIR}/package/statusitem.pc @ONLY)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/statusitemConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/package/statusitemConfigVersion.cmake
        DESTINATION ${_cmake_dir} COMPONENT library)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/statusitem.pc DESTINATION lib/pkgconfig
        COMPONENT library)
