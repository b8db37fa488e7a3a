#include "seriallink/sio_devtest.h"

#include <initializer_list>

#include "errors/err_codes.h"
#include "seriallink/sio.h"

namespace {

int32_t choose_serial_test(int32_t, dev_handle_t, void*, dev_poll_fn* poll) {
    *poll = sio_device_poll;
    return NO_ERROR;
}

}  // namespace

int32_t sio_device_poll(dev_handle_t handle, void*) { return sio_has_input(handle) ? 1 : 0; }

void sio_install_device_test() {
    for (int32_t type : {DEV_TYPE_SERIAL_1, DEV_TYPE_SERIAL_2, DEV_TYPE_SERIAL_3, DEV_TYPE_SERIAL_4}) {
        dev_install_test(type, choose_serial_test);
    }
}
