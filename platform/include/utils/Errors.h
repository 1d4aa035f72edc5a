#pragma once

#include <errno.h>
#include <stdint.h>

namespace android {

typedef int32_t status_t;

enum {
    OK = 0,
    NO_ERROR = 0,
    UNKNOWN_ERROR = INT32_MIN,
    NO_MEMORY = -ENOMEM,
    BAD_VALUE = -EINVAL,
    NOT_ENOUGH_DATA = -ENODATA,
};

}  // namespace android
