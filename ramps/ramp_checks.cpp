// Whether a ramp suits the instrument, and the fringes-per-frame rules.
#include <cmath>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "ramps/ramp_header.h"

namespace {

bool board_accepts(int32_t instrument_board, int32_t ramp_board) {
    if (instrument_board == 8) return ramp_board == 0 || ramp_board == 1 || ramp_board == 8;
    return ramp_board == 0 || ramp_board == instrument_board;
}

// Checks the focus drive's serial number; a different one is taken over
// with a warning (in memory only).
int32_t check_drive(rr_ramp_hdr_t& h, const char* file_name, int32_t serial, const char* drive) {
    if (serial == -1) {
        gl_msg_print("Error: ramp data file \"%s\" can only be used with a %s\n", file_name, drive);
        return ERR_INVALID_PARAM;
    }
    if (h.pztID != serial) {
        gl_msg_print("Warning: ramp data file \"%s\" was generated for a different %s\n", file_name, drive);
        gl_msg_print("Changing ramp S/N from %d to %d\n", h.pztID, serial);
        h.pztID = serial;
    }
    return NO_ERROR;
}

// 0.25, 0.75, 1.25, ...: a multiple of a quarter with an odd quotient.
bool odd_quarters(float value) {
    const double quarters = static_cast<double>(value) / 0.25;
    return quarters == std::floor(quarters) && std::fmod(quarters, 2.0) != 0.0;
}

}  // namespace

int32_t rr_check_ramp_compat(rr_ramp_hdr_t* header, const char* file_name, int32_t instr_board_type,
                             int32_t pifoc_serial, int32_t pzt_serial) {
    if (header == nullptr) return ERR_INVALID_PARAM;
    rr_ramp_hdr_t& h = *header;
    if (!board_accepts(instr_board_type, h.instrBdType)) {
        gl_msg_print("Error: ramp data file %s is not compatible with this instrument\n", file_name);
        return ERR_WRONG_INSTR_BOARD;
    }
    int32_t rc;
    if (rr_is_pifoc(h.rampType)) {
        rc = check_drive(h, file_name, pifoc_serial, "PIFOC");
    } else if (rr_is_pmi(h.rampType)) {
        rc = check_drive(h, file_name, pzt_serial, "PZT");
    } else {
        gl_msg_print("Error: ramp data file \"%s\" is of unknown type %d\n", file_name, h.rampType);
        return ERR_CORRUPT_RAMP_FILE;
    }
    if (rc != NO_ERROR) return rc;
    return rr_check_fringes_per_frame(header, file_name);
}

int32_t rr_check_fringes_per_frame(rr_ramp_hdr_t* header, const char* file_name) {
    if (header == nullptr) return ERR_INVALID_PARAM;
    rr_ramp_hdr_t& h = *header;
    float result = 0.0f;  // 0 means no valid value
    if (rr_is_pifoc(h.rampType)) {
        if (h.fringesPerFrame != 0.0f) {
            if (odd_quarters(h.fringesPerFrame)) result = h.fringesPerFrame;
        } else if (h.rampSlope == 81.0f) {
            result = 0.25f;
        } else if (h.rampSlope == 243.0f) {
            result = 0.75f;
        } else if (h.rampSlope == 405.0f) {
            result = 1.25f;
        } else if (h.rampSlope == 567.0f) {
            result = 1.75f;
        }
    } else if (rr_is_pmi(h.rampType)) {
        const bool few = h.nBuckets == 5 || h.nBuckets == 7;
        const bool many = h.nBuckets == 11 || h.nBuckets == 13;
        if (h.nBuckets > 13) {
            result = h.fringesPerFrame;
            if (result == 0.0f) return NO_ERROR;  // accepted unchanged
        } else if (h.fringesPerFrame == 0.0f) {
            result = few ? 0.25f : many ? 0.125f : 0.0f;
        } else if ((h.fringesPerFrame == 0.25f && few) || (h.fringesPerFrame == 0.125f && many)) {
            result = h.fringesPerFrame;
        }
    }
    if (result == 0.0f) {
        gl_msg_print("Error: invalid fringesPerFrame %g in ramp data file \"%s\"\n",
                     static_cast<double>(h.fringesPerFrame), file_name);
        return ERR_INVALID_PARAM;
    }
    if (h.fringesPerFrame != result) h.fringesPerFrame = result;
    return NO_ERROR;
}

int32_t rr_fpf_to_quarters(double fringes_per_frame, int32_t* quarters) {
    static constexpr int32_t kCodes[] = {1, 3, 5, 7, 9, 11, 21};
    for (int32_t code : kCodes) {
        if (std::fabs(fringes_per_frame - code * 0.25) <= 0.001) {
            if (quarters != nullptr) *quarters = code;
            return NO_ERROR;
        }
    }
    gl_msg_print("Invalid fringesPerFrame %g\n", fringes_per_frame);
    return ERR_INTERNAL_TQ;
}

int32_t rr_scan_type_to_fpf(int32_t scan_type, double* fringes_per_frame) {
    static constexpr struct {
        int32_t scan_type;
        double fpf;
    } kTypes[] = {{1, 0.25}, {5, 0.75}, {9, 1.25}, {17, 1.75}, {33, 2.25}, {65, 2.75}};
    for (const auto& t : kTypes) {
        if (t.scan_type == scan_type) {
            if (fringes_per_frame != nullptr) *fringes_per_frame = t.fpf;
            return NO_ERROR;
        }
    }
    gl_msg_print("Internal error: invalid scanType %d\n", scan_type);
    return ERR_INTERNAL_TQ;
}

int32_t rr_nominal_value(double value) {
    const double rounded = std::trunc(value + 0.5);
    if (!(rounded > -2147483648.0 && rounded < 2147483647.0)) return 0;
    const auto n = static_cast<int32_t>(rounded);
    if (n == 95) return 100;
    if (n == 145) return 150;
    return n;
}
