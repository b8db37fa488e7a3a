#include "calibration/cal_read_checks.h"

#include <initializer_list>

#include "calibration/cal_names.h"
#include "calibration/cal_read_error.h"
#include "calibration/cal_spec_table.h"
#include "errors/err_codes.h"
#include "errors/msg.h"

namespace {

bool one_of(int32_t value, std::initializer_list<int32_t> set) {
    for (int32_t v : set) {
        if (v == value) return true;
    }
    return false;
}

int32_t incomplete(const char* message) {
    cal_read_error("%s", message);
    return ERR_SB_CALFILE_INCOMPLETE;
}

void set_range(uint16_t (&range)[2], uint16_t lo, uint16_t hi) {
    range[0] = lo;
    range[1] = hi;
}

}  // namespace

int32_t cal_check_complete(const SystemInfo& si, uint16_t given, int32_t light_values) {
    const int32_t board = si.instrBdType;
    const int32_t system = si.systemType;
    const bool comm = (given & CAL_GIVEN_COMM) != 0;
    if (system == 0) return incomplete("Missing system type info.");
    if ((given & CAL_GIVEN_VERSION) == 0) return incomplete("Missing frame grabber and instrument board Version info.");
    if (!one_of(board, {0, 5, 8, 9}) && !comm) return incomplete("Missing InstrComm info.");
    if (one_of(system, {14, 16, 17}) && (given & CAL_GIVEN_INVERT_DATA) == 0) {
        return incomplete("Missing InvertData info.");
    }
    if (board == CAL_BOARD_CAN && !comm) return incomplete("Missing MAC Address for CAN bus.");
    if (system == 16 && si.motionCtrl[0].empty()) gl_msg_print("Missing MotionCtrl info.\n");
    if (system == 19 || system == 30) {
        if ((given & CAL_GIVEN_WM_LINK) == 0) {
            gl_msg_print("Calibration file missing wave monitor comm info\n");
            return ERR_SB_CALFILE_INCOMPLETE;
        }
        if ((given & CAL_GIVEN_OPD) == 0) {
            gl_msg_print("Calibration file missing wave monitor OPD info\n");
            return ERR_SB_CALFILE_INCOMPLETE;
        }
    }
    if (one_of(system, {27, 32, 33}) && (given & CAL_GIVEN_SYS_GAIN) == 0) {
        gl_msg_print("Calibration file missing system gain.\n");
    }
    if ((given & CAL_GIVEN_BPIX_FILE) != 0 && (given & CAL_GIVEN_BAD_PIXELS) != 0) {
        cal_read_error("Bad Camera pixels specified twice using: camera bad or bpixels and camera bpix");
        return ERR_SB_CALFILE_INVALID;
    }
    if ((given & CAL_GIVEN_LLC_TARGET) == 0 && (board == CAL_BOARD_VEGA || one_of(system, {23, 25, 26, 30, 33}))) {
        return incomplete("Missing LLCTarget info.");
    }
    if (si.frameGrabberType != 0 && si.cameraType == 0) return incomplete("Missing Camera Type info.");
    if ((board == CAL_BOARD_WEZEN || board == CAL_BOARD_ANTARES) && light_values == 0) {
        return incomplete("Missing Light info.");
    }
    if (one_of(system, {5, 7, 11, 13, 16, 20, 22, 28, 31, 34}) && (given & CAL_GIVEN_PIFOC) == 0) {
        return incomplete("Missing PIFOC info.");
    }
    return NO_ERROR;
}

void cal_derive_llc_ranges(SystemInfo& si, int32_t llc_pairs) {
    const bool none = llc_pairs == 0;
    auto fomalhaut_range = [&si] { set_range(si.llcRange, 2, si.cameraType == 18 ? 800 : 532); };
    switch (si.instrBdType) {
        case CAL_BOARD_VEGA:
        case CAL_BOARD_DENEB:
            if (none) set_range(si.llcRange, 10, 159);
            break;
        case CAL_BOARD_ANTARES:
            if (si.systemType == 21) {
                fomalhaut_range();
            } else if (none) {
                set_range(si.llcRange, 0, 4095);
            }
            break;
        case CAL_BOARD_NOTNEEDED:
            if (si.systemType == 21) {
                fomalhaut_range();
            } else {
                set_range(si.llcRange, 10, 159);
            }
            break;
        case CAL_BOARD_FTP:
            if (none) set_range(si.llcRange, 0, 3685);
            break;
        case CAL_BOARD_WEZEN:
            if (none) set_range(si.llcRange, 0, 4095);
            if (llc_pairs < 2) set_range(si.llcRange2, 0, 100);
            break;
        case CAL_BOARD_CAN:
            if (none) set_range(si.llcRange, 0, 65535);
            if (llc_pairs < 2) set_range(si.llcRange2, 0, 65535);
            break;
        default: break;
    }
}

void cal_correct_accessories(SystemInfo& si) {
    if (si.instrBdType != CAL_BOARD_CAN && si.zoom == 2) {
        cal_read_error("This instrument cannot have a motorized zoom.");
        si.zoom = 0;
    }
    if (si.instrBdType == CAL_BOARD_CAN && (si.systemType == 22 || si.systemType == 31) && si.dualBrushMotor == 0) {
        if (si.turret != 0) {
            cal_read_error("This instrument cannot have a motorized turret, no dual brush motor board.");
            si.turret = 0;
            si.turret2 = 1;
        }
        if (si.zoom != 0) {
            cal_read_error("This instrument cannot have a motorized zoom, no dual brush motor board.");
            si.zoom = 0;
        }
    }
}

bool sb_has_dual_brush_motor_board(const SystemInfo& si) {
    if (si.instrBdType != CAL_BOARD_CAN) return false;
    if (si.systemType == 11 || si.systemType == 13) return true;
    return one_of(si.systemType, {22, 28, 29, 31, 34, 35}) && si.dualBrushMotor != 0;
}
