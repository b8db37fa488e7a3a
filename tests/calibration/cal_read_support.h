// A calibration slot and a folder for the reader and writer tests: files
// written here are read into slot 1, messages are captured, and the slot is
// emptied again afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "calibration/cal_subrecords_alloc.h"
#include "calibration/sb_read_cal.h"
#include "calibration/sb_reset.h"
#include "calibration/system_info.h"
#include "platform/file.h"
#include "support/test_support.h"

inline void cal_empty_slot(SystemInfo& si) {
    sb_resetCal(&si);
    sb_discard_pifoc_info(si);
    sb_discard_dyn_wave_gen(si);
    si = SystemInfo{};
}

// A folder in memory when the machine has one: the tests write many small
// files, and a busy disk's latency would dominate their run.
inline const char* cal_memory_tmp() { return plat::is_directory("/dev/shm") ? "/dev/shm" : nullptr; }

class CalSlotTest : public ::testing::Test {
protected:
    static constexpr int32_t kSlot = 1;
    CalSlotTest() { cal_empty_slot(si); }
    ~CalSlotTest() override { cal_empty_slot(si); }

    // Writes `text` to a file and reads it into the slot.
    int32_t read_text_file(const std::string& text, const std::string& name = "t.cal") {
        testing_support::write_file(dir.file(name), text);
        return sb_readCal(kSlot, dir.file(name).c_str());
    }
    const std::string& messages() const { return capture.text(); }

    testing_support::ScopedEnv tmp{"TMPDIR", cal_memory_tmp() != nullptr ? cal_memory_tmp() : std::getenv("TMPDIR")};
    testing_support::TempDir dir;
    testing_support::CaptureMessages capture;
    SystemInfo& si = gl_sys_info[kSlot];
};

#ifndef KELM_EXAMPLES_DIR
#error "KELM_EXAMPLES_DIR names the examples folder"
#endif
inline std::string cal_example(const char* name) { return std::string(KELM_EXAMPLES_DIR) + "/cal/" + name; }
