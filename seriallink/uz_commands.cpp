#include "seriallink/uz_commands.h"

#include <algorithm>
#include <array>

namespace {

constexpr uz_cmd_def_t k_commands[] = {
#define UZ_CMD(board, code, name, request, response) {board, code, #name, request, response},
#define UZ_CMD_UNNAMED(board, code, request, response) {board, code, nullptr, request, response},
#include "seriallink/uz_commands.inc"
#undef UZ_CMD
#undef UZ_CMD_UNNAMED
};

constexpr std::array<int32_t, 4> k_boards{1, 3, 6, 7};

// Start and length of a board's rows in k_commands.
struct Range {
    std::size_t first = 0;
    std::size_t count = 0;
};

constexpr Range range_of(int32_t board) {
    Range r;
    bool found = false;
    for (std::size_t i = 0; i < std::size(k_commands); ++i) {
        if (k_commands[i].board != board) continue;
        if (!found) r.first = i;
        found = true;
        ++r.count;
    }
    return r;
}

// Every board's rows stand together in code order from 0, so row i of a
// board's span has code i.
constexpr bool rows_in_code_order() {
    for (int32_t board : k_boards) {
        const Range r = range_of(board);
        for (std::size_t i = 0; i < r.count; ++i) {
            const uz_cmd_def_t& def = k_commands[r.first + i];
            if (def.board != board || def.code != i) return false;
        }
    }
    return true;
}
static_assert(rows_in_code_order());
static_assert(range_of(1).count == 59 && range_of(3).count == 63 && range_of(6).count == 43 &&
              range_of(7).count == 42);

constexpr std::string_view k_cmd_suffix = "_CMD";

}  // namespace

bool uz_is_serial_board(int32_t board) { return std::ranges::find(k_boards, board) != k_boards.end(); }

std::string_view uz_board_prefix(int32_t board) {
    switch (board) {
        case 1: return "UZ1_";
        case 3: return "UZ2_";
        case 6: return "DENEB_";
        case 7: return "FTP_";
        default: return {};
    }
}

std::span<const uz_cmd_def_t> uz_command_table(int32_t board) {
    if (!uz_is_serial_board(board)) return {};
    const Range r = range_of(board);
    return std::span<const uz_cmd_def_t>(k_commands).subspan(r.first, r.count);
}

const uz_cmd_def_t* uz_find_command(int32_t board, int32_t code) {
    const auto table = uz_command_table(board);
    if (code < 0 || static_cast<std::size_t>(code) >= table.size()) return nullptr;
    return &table[static_cast<std::size_t>(code)];
}

std::string_view uz_command_base(const uz_cmd_def_t& def) {
    if (def.name == nullptr) return {};
    std::string_view name = def.name;
    const std::string_view prefix = uz_board_prefix(def.board);
    if (name.starts_with(prefix)) name.remove_prefix(prefix.size());
    if (name.ends_with(k_cmd_suffix)) name.remove_suffix(k_cmd_suffix.size());
    return name;
}

const uz_cmd_def_t* uz_find_command(int32_t board, std::string_view base) {
    for (const uz_cmd_def_t& def : uz_command_table(board)) {
        if (def.name != nullptr && uz_command_base(def) == base) return &def;
    }
    return nullptr;
}

bool uz_is_interrupting_event(int32_t board, uint8_t code) {
    if (board == 1) return code == 155 || code == 156;
    if (board == 3 || board == 6 || board == 7) return code == 135 || code == 155 || code == 157;
    return false;
}

bool uz_is_accepted_event(int32_t board, uint8_t code) {
    if (uz_is_interrupting_event(board, code)) return true;
    return (board == 3 || board == 6 || board == 7) && (code == 129 || code == 139);
}
