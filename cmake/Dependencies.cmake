# Platform pieces found on the build machine: the Android log library (Debian's, the
# NDK's, or the one under STATUSITEM_PLATFORM_ROOT) and the JNI headers (the JDK's, or
# the NDK's own).

if(STATUSITEM_PLATFORM_ROOT)
  set(_log_paths PATHS ${STATUSITEM_PLATFORM_ROOT}/include NO_DEFAULT_PATH)
  set(_log_lib_paths PATHS ${STATUSITEM_PLATFORM_ROOT}/lib NO_DEFAULT_PATH)
elseif(ANDROID)
  set(_log_paths)
  set(_log_lib_paths)
else()
  set(_log_paths PATHS /usr/include/android NO_DEFAULT_PATH)
  set(_log_lib_paths PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/android NO_DEFAULT_PATH)
endif()
if(ANDROID AND NOT STATUSITEM_PLATFORM_ROOT)
  # The NDK's sysroot, which the compiler searches anyway.
  find_library(ANDROID_LOG_LIBRARY log REQUIRED)
  add_library(android_log INTERFACE)
  target_link_libraries(android_log INTERFACE ${ANDROID_LOG_LIBRARY})
else()
  find_path(ANDROID_LOG_INCLUDE_DIR android/log.h ${_log_paths} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_library(ANDROID_LOG_LIBRARY log ${_log_lib_paths} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  # The log's folder also holds the platform's own binder/ and utils/ headers when those
  # packages are installed: expose only android/, so that nothing but the stand-in's
  # Parcel and String16 can be found through it.
  set(_log_include ${CMAKE_BINARY_DIR}/liblog-include)
  file(MAKE_DIRECTORY ${_log_include})
  file(CREATE_LINK ${ANDROID_LOG_INCLUDE_DIR}/android ${_log_include}/android SYMBOLIC)
  add_library(android_log INTERFACE)
  target_include_directories(android_log INTERFACE ${_log_include})
  target_link_libraries(android_log INTERFACE ${ANDROID_LOG_LIBRARY})
endif()

# Only the headers: the library is loaded by a JVM, never linked against one.
add_library(jni_headers INTERFACE)
if(NOT ANDROID)
  if(NOT JNI_INCLUDE_DIR)
    if(DEFINED ENV{JAVA_HOME} AND EXISTS "$ENV{JAVA_HOME}/include/jni.h")
      set(_jdk "$ENV{JAVA_HOME}")
    else()
      file(GLOB _jdks /usr/lib/jvm/java-17-openjdk-*)
      list(GET _jdks 0 _jdk)
    endif()
    set(JNI_INCLUDE_DIR "${_jdk}/include" CACHE PATH "JDK include folder holding jni.h")
  endif()
  target_include_directories(jni_headers INTERFACE ${JNI_INCLUDE_DIR} ${JNI_INCLUDE_DIR}/linux)
endif()
