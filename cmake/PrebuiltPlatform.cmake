# The device's own libtessik under STATUSITEM_PLATFORM_ROOT (include/ with binder/,
# utils/ and tessik/, lib/ with the library) in place of the stand-in, under the same
# target name.

find_library(TESSIK_LIBRARY tessik PATHS ${STATUSITEM_PLATFORM_ROOT}/lib NO_DEFAULT_PATH
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(TESSIK_INCLUDE_DIR binder/Parcel.h PATHS ${STATUSITEM_PLATFORM_ROOT}/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(tessik SHARED IMPORTED GLOBAL)
set_target_properties(tessik PROPERTIES IMPORTED_LOCATION ${TESSIK_LIBRARY}
                                        INTERFACE_INCLUDE_DIRECTORIES ${TESSIK_INCLUDE_DIR})
target_link_libraries(tessik INTERFACE jni_headers android_log)
