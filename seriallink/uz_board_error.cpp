#include "seriallink/uz_board_error.h"

#include <span>

#include "errors/err_codes.h"
#include "errors/msg.h"

namespace {

struct BoardErrorText {
    uint8_t byte;
    const char* text;
    int32_t code;
};

constexpr BoardErrorText k_board1[] = {
    {1, "Motor movement has timed out", ERR_TURRET_TIMEOUT},
    {2, "PZT stack fault", ERR_PZT_STACK_FAULT},
    {3, "PZT ground fault", ERR_PZT_GROUND_FAULT},
    {4, "Over voltage +12 volt power supply", ERR_INST_POWER},
    {5, "Under voltage +12 volt power supply", ERR_INST_POWER},
    {6, "Over voltage +15 volt power supply", ERR_INST_POWER},
    {7, "Under voltage +15 volt power supply", ERR_INST_POWER},
    {8, "Over voltage -15 volt power supply", ERR_INST_POWER},
    {9, "Under voltage -15 volt power supply", ERR_INST_POWER},
    {10, "Over voltage +200 volt power supply", ERR_INST_POWER},
    {11, "Under voltage +200 volt power supply", ERR_INST_POWER},
    {12, "No LCA installed", ERR_HW_FAIL},
    {13, "LCA INIT* stuck hi", ERR_HW_FAIL},
    {14, "LCA INIT* stuck lo", ERR_HW_FAIL},
    {15, "LCA READY* stuck low", ERR_HW_FAIL},
    {16, "LCA READY* stuck high", ERR_HW_FAIL},
    {17, "LCA early done", ERR_HW_FAIL},
    {18, "LCA no done", ERR_HW_FAIL},
    {19, "Fatal turret hardware problem", ERR_HW_FAIL},
    {20, "Invalid ramp type", ERR_INVALID_PARAM},
    {21, "Invalid motor type", ERR_INVALID_PARAM},
    {22, "Motor already moving", ERR_HW_FAIL},
    {23, "Invalid ramp index", ERR_INVALID_PARAM},
};
constexpr BoardErrorText k_board3[] = {
    {1, "PZT stack fault", ERR_PZT_STACK_FAULT},
    {2, "PZT ground fault", ERR_PZT_GROUND_FAULT},
    {3, "Over voltage +12 volt power supply", ERR_INST_POWER},
    {4, "Under voltage +12 volt power supply", ERR_INST_POWER},
    {5, "Over voltage +15 volt power supply", ERR_INST_POWER},
    {6, "Under voltage +15 volt power supply", ERR_INST_POWER},
    {7, "Over voltage -15 volt power supply", ERR_INST_POWER},
    {8, "Under voltage -15 volt power supply", ERR_INST_POWER},
    {9, "Over voltage +200 volt power supply", ERR_INST_POWER},
    {10, "Under voltage +200 volt power supply", ERR_INST_POWER},
    {11, "No LCA installed", ERR_HW_FAIL},
    {12, "LCA INIT* stuck high", ERR_HW_FAIL},
    {13, "LCA INIT* stuck low", ERR_HW_FAIL},
    {14, "LCA READY* stuck low", ERR_HW_FAIL},
    {15, "LCA READY* stuck high", ERR_HW_FAIL},
    {16, "LCA early done", ERR_HW_FAIL},
    {17, "LCA no done", ERR_HW_FAIL},
    {18, "Diffuser disc error voltage too high", ERR_HW_FAIL},
    {19, "Ramp DAC output voltage incorrect", ERR_HW_FAIL},
    {20, "Attenuator in out position", ERR_HW_FAIL},
};
constexpr BoardErrorText k_board6[] = {
    {1, "Over voltage +12 volt power supply", ERR_INST_POWER},
    {2, "Under voltage +12 volt power supply", ERR_INST_POWER},
    {3, "Over voltage +15 volt power supply", ERR_INST_POWER},
    {4, "Under voltage +15 volt power supply", ERR_INST_POWER},
    {5, "Over voltage -15 volt power supply", ERR_INST_POWER},
    {6, "Under voltage -15 volt power supply", ERR_INST_POWER},
    {7, "LCA INIT* stuck high", ERR_HW_FAIL},
    {8, "LCA INIT* stuck low", ERR_HW_FAIL},
    {9, "LCA READY* stuck low", ERR_HW_FAIL},
    {10, "LCA READY* stuck high", ERR_HW_FAIL},
    {11, "LCA early done", ERR_HW_FAIL},
    {12, "LCA no done", ERR_HW_FAIL},
};
constexpr BoardErrorText k_board7[] = {
    {1, "Motor movement has timed out", ERR_TURRET_TIMEOUT},
    {2, "Over voltage +12 volt power supply", ERR_INST_POWER},
    {3, "Under voltage +12 volt power supply", ERR_INST_POWER},
    {4, "Over voltage +15 volt power supply", ERR_INST_POWER},
    {5, "Under voltage +15 volt power supply", ERR_INST_POWER},
    {6, "Over voltage -15 volt power supply", ERR_INST_POWER},
    {7, "Under voltage -15 volt power supply", ERR_INST_POWER},
    {8, "No LCA installed", ERR_HW_FAIL},
    {9, "LCA INIT* stuck hi", ERR_HW_FAIL},
    {10, "LCA INIT* stuck lo", ERR_HW_FAIL},
    {11, "LCA READY* stuck low", ERR_HW_FAIL},
    {12, "LCA READY* stuck high", ERR_HW_FAIL},
    {13, "LCA early done", ERR_HW_FAIL},
    {14, "LCA no done", ERR_HW_FAIL},
    {15, "Fatal turret hardware problem", ERR_HW_FAIL},
    {16, "Invalid ramp type", ERR_INVALID_PARAM},
    {17, "Invalid motor type", ERR_INVALID_PARAM},
    {18, "Motor already moving", ERR_HW_FAIL},
    {19, "Invalid ramp index", ERR_INVALID_PARAM},
    {20, " Invalid motor position", ERR_INVALID_PARAM},
};

std::span<const BoardErrorText> table_of(int32_t board) {
    switch (board) {
        case 1: return k_board1;
        case 3: return k_board3;
        case 6: return k_board6;
        case 7: return k_board7;
        default: return {};
    }
}

const BoardErrorText* find(uint8_t errorByte, int32_t board) {
    for (const BoardErrorText& row : table_of(board)) {
        if (row.byte == errorByte) return &row;
    }
    return nullptr;
}

}  // namespace

const char* uz_board_error_text(uint8_t errorByte, int32_t board) {
    const BoardErrorText* row = find(errorByte, board);
    return row != nullptr ? row->text : nullptr;
}

int32_t uz_board_error(uint8_t errorByte, int32_t board, bool report) {
    if (errorByte == 0) return NO_ERROR;
    if (const BoardErrorText* row = find(errorByte, board)) {
        if (report) gl_msg_print("Error: %s\n", row->text);
        return row->code;
    }
    if (report) gl_msg_print("Error: Unrecognized instrument board error %d\n", errorByte);
    return ERR_UNKNOWN;
}
