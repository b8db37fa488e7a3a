// Library-wide error codes: 0 is success, 1 to ERR_LAST_CODE name the
// failure kinds listed in err_list.inc.
#pragma once

#include <cstdint>

enum : int32_t {
    NO_ERROR = 0,
#define KELM_ERROR(name, code) name = code,
#include "errors/err_list.inc"
#undef KELM_ERROR
};

// Highest valid error code.
inline constexpr int32_t ERR_LAST_CODE = ERR_ZOOM_TIMEOUT;
