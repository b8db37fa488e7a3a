// The name tables of the calibration file: for each small-integer setting
// (system type, instrument board, frame grabber, camera, camera alignment,
// light type, light-level controller, position instrument, temperature
// sensor) the number stored in SystemInfo, the name the writer emits and the
// words the reader accepts for it. The rest of the library refers to these
// values by number and takes their names from here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Returned by the word lookups for a word that names no entry.
inline constexpr int32_t CAL_NO_VALUE = -1;

struct CalName {
    int32_t value;
    const char* name;      // the writer's spelling; null: the table's fallback
    const char* words[3];  // lower-case words the reader accepts; null-ended
    bool writable;         // the writer accepts the value as complete
};

struct CalNameTable {
    const char* what;       // "system type", for messages and tests
    std::span<const CalName> entries;  // entry i has value i
    const char* fallback;   // printed for a value without a name
};

extern const CalNameTable kCalSystemTypes;
extern const CalNameTable kCalBoardTypes;
extern const CalNameTable kCalFrameGrabbers;
extern const CalNameTable kCalCameraTypes;
extern const CalNameTable kCalCameraAligns;
extern const CalNameTable kCalLightTypes;
extern const CalNameTable kCalLlcInstruments;
extern const CalNameTable kCalPosInstruments;
extern const CalNameTable kCalTempSensors;

// The name the writer emits for `value`: its table name, or the table's
// fallback for a value outside the table or without a name.
const char* cal_name(const CalNameTable& table, int32_t value);

// The value a word stands for, in any case; CAL_NO_VALUE when no entry
// accepts it.
int32_t cal_name_value(const CalNameTable& table, std::string_view word);

// Whether the writer accepts `value` as a defined setting (system types
// 4..8 and 10..35, cameras 1..9 and 11..32, lights 1..5; every named value
// of the other tables).
bool cal_name_writable(const CalNameTable& table, int32_t value);

// Numbers the other subsystems compare against, named after the tables.
enum : int32_t {
    CAL_BOARD_NONE = 0, CAL_BOARD_WEZEN = 1, CAL_BOARD_ADHARA = 2, CAL_BOARD_VEGA = 3,
    CAL_BOARD_NAOS = 4, CAL_BOARD_ANTARES = 5, CAL_BOARD_DENEB = 6, CAL_BOARD_FTP = 7,
    CAL_BOARD_CAN = 8, CAL_BOARD_NOTNEEDED = 9,
};
enum : int32_t {
    CAL_CAMERA_UNKNOWN = 0, CAL_CAMERA_CUSTOM = 12,
};
enum : int32_t {
    CAL_LIGHT_UNKNOWN = 0, CAL_LIGHT_HENE = 1, CAL_LIGHT_DIODE = 2, CAL_LIGHT_WHITE = 3,
    CAL_LIGHT_SPECIAL = 4, CAL_LIGHT_LED = 5,
};
enum : int32_t {
    CAL_LLC_NONE = 0, CAL_LLC_DD100MC = 1, CAL_LLC_DD100MC_B = 2, CAL_LLC_ANTARES = 3,
};
enum : int32_t {
    CAL_TEMP_SENSOR_NONE = 0, CAL_TEMP_SENSOR_EURO2216E = 1,
};
// The system type that only the word "special" gives; it has no name.
inline constexpr int32_t CAL_SYSTEM_SPECIAL = 36;
