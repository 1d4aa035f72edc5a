# Platform pieces found on the build machine: the Android log library from Debian
# and the JNI headers of the JDK.

find_path(ANDROID_LOG_INCLUDE_DIR android/log.h PATHS /usr/include/android REQUIRED
          NO_CMAKE_FIND_ROOT_PATH)
find_library(ANDROID_LOG_LIBRARY log
             PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/android
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# The log's folder also holds the platform's own binder/ and utils/ headers when those
# packages are installed: expose only android/, so that nothing but the stand-in's
# Parcel and String16 can be found through it.
set(_log_include ${CMAKE_BINARY_DIR}/liblog-include)
file(MAKE_DIRECTORY ${_log_include})
file(CREATE_LINK ${ANDROID_LOG_INCLUDE_DIR}/android ${_log_include}/android SYMBOLIC)
add_library(android_log INTERFACE)
target_include_directories(android_log INTERFACE ${_log_include})
target_link_libraries(android_log INTERFACE ${ANDROID_LOG_LIBRARY})

# Only the headers: the library is loaded by a JVM, never linked against one.
if(NOT JNI_INCLUDE_DIR)
  if(DEFINED ENV{JAVA_HOME} AND EXISTS "$ENV{JAVA_HOME}/include/jni.h")
    set(_jdk "$ENV{JAVA_HOME}")
  else()
    file(GLOB _jdks /usr/lib/jvm/java-17-openjdk-*)
    list(GET _jdks 0 _jdk)
  endif()
  set(JNI_INCLUDE_DIR "${_jdk}/include" CACHE PATH "JDK include folder holding jni.h")
endif()
add_library(jni_headers INTERFACE)
target_include_directories(jni_headers INTERFACE ${JNI_INCLUDE_DIR} ${JNI_INCLUDE_DIR}/linux)
