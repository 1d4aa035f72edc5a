#pragma once

#include <android/log.h>

#define BUNDLE_LOG_TAG "Bundle"
#define BUNDLE_LOGE(...) __android_log_print(ANDROID_LOG_ERROR, BUNDLE_LOG_TAG, __VA_ARGS__)
