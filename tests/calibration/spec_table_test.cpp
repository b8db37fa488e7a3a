#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "calibration/cal_spec_table.h"
#include "calibration/cal_subrecords_alloc.h"
#include "calibration/cal_vocab.h"
#include "calibration/sb_reset.h"

namespace {

std::string describe(const CalSpecLine& line) {
    if (line.key == CAL_KEY_SYSTEM_TYPE) return "<system type>";
    std::string s(cal_token_word(line.key));
    if (line.key2 != CAL_NO_KEY) {
        s.push_back(' ');
        s.append(cal_token_word(line.key2));
    }
    return s;
}

bool is_number_kind(CalValueKind kind) {
    return kind == CalValueKind::Int || kind == CalValueKind::Real || kind == CalValueKind::Duration ||
           kind == CalValueKind::DecWord;
}

// A slot at its defaults that frees what it owns.
struct ResetSlot : ::testing::Test {
    SystemInfo si{};
    void SetUp() override { sb_resetCal(&si); }
    void TearDown() override {
        sb_resetCal(&si);
        sb_discard_pifoc_info(si);
        sb_discard_dyn_wave_gen(si);
    }
};

TEST(CalSpecTable, KeysAreVocabularyWordsAndUnique) {
    std::set<std::pair<int32_t, int32_t>> seen;
    for (const CalSpecLine& line : cal_spec_lines()) {
        SCOPED_TRACE(describe(line));
        if (line.key != CAL_KEY_SYSTEM_TYPE) {
            ASSERT_GE(line.key, 0);
            EXPECT_EQ(cal_is_two_word_key(line.key), line.key2 != CAL_NO_KEY);
            if (line.key2 != CAL_NO_KEY) {
                EXPECT_GE(line.key2, 0);
            }
        }
        EXPECT_TRUE(seen.insert({line.key, line.key2}).second) << "duplicate";
        EXPECT_EQ(cal_find_spec_line(line.key, line.key2), &line);
    }
}

TEST(CalSpecTable, WrittenLinesHaveAKeyAndARowInTheWritersOrder) {
    for (const CalSpecLine& line : cal_spec_lines()) {
        SCOPED_TRACE(describe(line));
        EXPECT_GE(line.writerRow, 0);
        EXPECT_LE(line.writerRow, 63);
        if (line.writerKey != nullptr && line.key != CAL_KEY_SYSTEM_TYPE) {
            // The writer's spelling is the keyword in mixed case.
            std::string lower;
            for (const char* p = line.writerKey; *p != '\0'; ++p) {
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
            }
            EXPECT_EQ(lower, describe(line));
            EXPECT_GT(line.writerRow, 0);
        }
        if (line.writerRow == 0) {
            EXPECT_EQ(line.writerKey, nullptr);
        }
    }
    EXPECT_EQ(cal_find_spec_line(cal_tok("vega"))->writerRow, 4);
}

TEST(CalSpecTable, ValuesHaveSoundRangesAndDefaultsInsideThem) {
    for (const CalSpecLine& line : cal_spec_lines()) {
        SCOPED_TRACE(describe(line));
        ASSERT_LE(line.valueCount, kCalMaxLineValues);
        const bool flag_line = line.flagField != nullptr && line.valueCount == 0;
        EXPECT_EQ(line.kind == CalLineKind::SetFlag || line.handler == CalHandler::RingSpot, flag_line);
        bool repeated = false;
        for (int i = 0; i < line.valueCount; ++i) {
            const CalValueSpec& v = line.values[i];
            SCOPED_TRACE(v.name);
            ASSERT_NE(v.name, nullptr);
            if (v.flags & CAL_V_REPEAT) repeated = true;
            if (v.kind == CalValueKind::Name) {
                EXPECT_NE(v.names, nullptr);
            }
            if (is_number_kind(v.kind) || v.kind == CalValueKind::Pair || v.kind == CalValueKind::RealOrPair) {
                EXPECT_LE(v.lo, v.hi);
                EXPECT_LE(v.lo2, v.hi2);
            }
            if (v.kind == CalValueKind::Int) {
                EXPECT_EQ(v.lo, std::trunc(v.lo));
                EXPECT_GE(v.lo, std::numeric_limits<int32_t>::min());
                EXPECT_LE(v.hi, std::numeric_limits<int32_t>::max());
            }
            if (v.def.kind == CalDefaultKind::Value && is_number_kind(v.kind)) {
                const double stored_lo = v.lo * v.scale;
                const double stored_hi = v.hi * v.scale;
                EXPECT_TRUE(v.def.number >= stored_lo && v.def.number <= stored_hi)
                    << "default " << v.def.number << " outside [" << stored_lo << "," << stored_hi << "]";
                if (v.flags & CAL_V_LOWER_OPEN) {
                    EXPECT_GT(v.def.number, stored_lo);
                }
            }
            if (v.def.kind == CalDefaultKind::Text) {
                EXPECT_NE(v.def.text, nullptr);
            }
            if (v.def.kind != CalDefaultKind::None && line.subRecord == CalSubRecord::None) {
                EXPECT_NE(v.field, nullptr) << "a default needs a field";
            }
        }
        EXPECT_EQ(repeated, line.maxRepeat > 0);
        EXPECT_LE(line.minRepeat, line.maxRepeat);
        for (int i = 0; i < line.failureCount; ++i) {
            ASSERT_NE(line.failures[i], nullptr);
            EXPECT_GT(std::strlen(line.failures[i]->text), 0u);
        }
        EXPECT_EQ(line.orderFailure != nullptr, (line.needs & CAL_NEEDS_MAGS) != 0);
    }
}

TEST(CalSpecTable, LookupResolvesAliasesSystemWordsAndRefusesOthers) {
    const CalSpecLine* bpixels = cal_find_spec_line(cal_tok("camera"), cal_tok("bpixels"));
    const CalSpecLine* bad = cal_find_spec_line(cal_tok("camera"), cal_tok("bad"));
    ASSERT_NE(bpixels, nullptr);
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->handler, CalHandler::BadPixels);
    EXPECT_EQ(bad->writerKey, nullptr);
    EXPECT_STREQ(bpixels->writerKey, "Camera BPixels");
    EXPECT_EQ(cal_find_spec_line(cal_tok("ftpavgk0"))->values[1].field,
              cal_find_spec_line(cal_tok("ftpavg_k0"))->values[1].field);
    EXPECT_EQ(cal_find_spec_line(cal_tok("ftpsysinitper"))->handler, CalHandler::FtpPeriod);
    EXPECT_EQ(cal_find_spec_line(cal_tok("camera"), cal_tok("configuration"))->handler,
              CalHandler::CameraConfig);

    for (const char* system : {"vega", "ankaa", "ftpsi", "nunki", "special", "shaula"}) {
        const CalSpecLine* line = cal_find_spec_line(cal_find_token(system));
        ASSERT_NE(line, nullptr) << system;
        EXPECT_EQ(line->handler, CalHandler::SystemType) << system;
    }
    // "zencoder" at the start of a line is the Z-encoder flag, not an instrument.
    EXPECT_EQ(cal_find_spec_line(cal_tok("zencoder"))->writerKey, std::string("ZEncoder"));
    for (const char* unexpected : {"af_gain", "pr_thresh", "none", "can", "instr", "led", "xc77", "camera"}) {
        EXPECT_EQ(cal_find_spec_line(cal_find_token(unexpected)), nullptr) << unexpected;
    }
    EXPECT_EQ(cal_find_spec_line(cal_tok("camera"), cal_tok("zoom")), nullptr);
    EXPECT_EQ(cal_find_spec_line(CAL_TOK_UNRECOGNISED), nullptr);
}

TEST_F(ResetSlot, ResetGivesEveryFieldTheDefaultTheTableNames) {
    for (const CalSpecLine& line : cal_spec_lines()) {
        SCOPED_TRACE(describe(line));
        if (line.flagField != nullptr) {
            EXPECT_EQ(cal_load_number(line.flagField(si, line.axis, 0)), line.flagDefault.number);
        }
        if (line.subRecord != CalSubRecord::None) continue;
        for (int i = 0; i < line.valueCount; ++i) {
            const CalValueSpec& v = line.values[i];
            SCOPED_TRACE(v.name);
            if (v.field == nullptr) continue;
            const int32_t reps = (v.flags & CAL_V_REPEAT) ? line.maxRepeat : 1;
            for (int32_t k = 0; k < reps; ++k) {
                const CalFieldRef field = v.field(si, line.axis >= 0 ? line.axis : 0, k);
                ASSERT_NE(field.type, CalFieldType::None);
                if (v.def.kind == CalDefaultKind::Text) {
                    EXPECT_EQ(cal_load_text(field), v.def.text);
                } else if (v.def.kind == CalDefaultKind::Value || v.def.kind == CalDefaultKind::Unset) {
                    const double expected = field.type == CalFieldType::F32
                                                ? static_cast<double>(static_cast<float>(v.def.number))
                                                : v.def.number;
                    EXPECT_EQ(cal_load_number(field), expected);
                }
            }
        }
    }
}

TEST_F(ResetSlot, ResetLeavesTheFieldsTheTableMarksAsKept) {
    struct Kept {
        CalFieldRef field;
        bool text;
    };
    std::vector<Kept> kept;
    for (const CalSpecLine& line : cal_spec_lines()) {
        if (line.subRecord != CalSubRecord::None) continue;
        for (int i = 0; i < line.valueCount; ++i) {
            const CalValueSpec& v = line.values[i];
            if (v.def.kind != CalDefaultKind::Kept || v.field == nullptr) continue;
            const CalFieldRef field = v.field(si, 0, 0);
            if (field.type == CalFieldType::Text) {
                cal_store_text(field, "kept");
            } else {
                cal_store_number(field, 1);
            }
            kept.push_back({field, field.type == CalFieldType::Text});
        }
    }
    ASSERT_GE(kept.size(), 15u);  // rFlag, customCamera, split argument, limits, voltages, wave monitor
    sb_resetCal(&si);
    for (const Kept& k : kept) {
        if (k.text) {
            EXPECT_EQ(cal_load_text(k.field), "kept");
        } else {
            EXPECT_EQ(cal_load_number(k.field), 1.0);
        }
    }
}

TEST_F(ResetSlot, GettersReachSubRecordsOnlyOnceTheyExist) {
    const CalSpecLine& pifoc = *cal_find_spec_line(cal_tok("pifoc"));
    EXPECT_EQ(pifoc.values[0].field(si, 0, 0).type, CalFieldType::None);
    ASSERT_TRUE(cal_need_sub_record(si, pifoc));
    ASSERT_TRUE(cal_store_number(pifoc.values[0].field(si, 0, 0), 1234));
    EXPECT_EQ(si.pifocInfo->id, 1234);

    const CalSpecLine& pid_z = *cal_find_spec_line(cal_tok("pidvals_z"));
    EXPECT_EQ(pid_z.axis, 7);
    ASSERT_TRUE(cal_need_sub_record(si, pid_z));
    ASSERT_NE(si.pidVals[7], nullptr);
    EXPECT_EQ(si.pidVals[7]->slow.velFfGain, 15050);
    EXPECT_EQ(si.pidVals[6], nullptr);

    const CalSpecLine& disper = *cal_find_spec_line(cal_tok("ftpdisper"));
    ASSERT_TRUE(cal_need_sub_record(si, disper));
    ASSERT_TRUE(cal_store_number(disper.values[1].field(si, 14, 9), 0.5));
    EXPECT_EQ(si.ftpInfo->disper[14][9], 0.5);
    // Indexes beyond the arrays give no field instead of a stray write.
    EXPECT_EQ(disper.values[1].field(si, 15, 0).type, CalFieldType::None);
    EXPECT_EQ(disper.values[1].field(si, 0, 10).type, CalFieldType::None);
    EXPECT_EQ(cal_find_spec_line(cal_tok("nommag"))->values[0].field(si, 0, 15).type, CalFieldType::None);
    EXPECT_EQ(cal_find_spec_line(cal_tok("camera"), cal_tok("trans"))->values[1].field(si, -1, 0).type,
              CalFieldType::None);
}

TEST_F(ResetSlot, WalkingAValuesLineStoresEachValueInItsField) {
    // What a reader does for a plain line: each value through its getter.
    const CalSpecLine& version = *cal_find_spec_line(cal_tok("version"));
    ASSERT_EQ(version.kind, CalLineKind::Values);
    const double values[] = {static_cast<double>(cal_name_value(kCalFrameGrabbers, "pulsar")), 300,
                             static_cast<double>(cal_name_value(kCalBoardTypes, "can"))};
    for (int i = 0; i < version.valueCount; ++i) {
        ASSERT_TRUE(cal_store_number(version.values[i].field(si, 0, 0), values[i]));
    }
    EXPECT_EQ(si.frameGrabberType, 3);
    EXPECT_EQ(si.grabberVersion, 300 % 256);
    EXPECT_EQ(si.instrBdType, 8);
    EXPECT_EQ(version.given, CAL_GIVEN_VERSION);

    const CalSpecLine& backlash = *cal_find_spec_line(cal_tok("xaxisbacklash"));
    ASSERT_TRUE(cal_store_number(backlash.values[0].field(si, 0, 0), 0.1));
    EXPECT_EQ(si.xAxisBacklash, static_cast<double>(0.1f));

    const CalSpecLine& tune = *cal_find_spec_line(cal_tok("wmtunerange"));
    ASSERT_TRUE(cal_store_number(tune.values[0].field(si, 0, 0), 2 * tune.values[0].scale));
    ASSERT_TRUE(cal_store_number(tune.values[1].field(si, 0, 0), 3 * tune.values[1].scale));
    EXPECT_EQ(si.wmTuneRange[0], 3e9);  // the file's second value comes first
    EXPECT_EQ(si.wmTuneRange[1], 2e9);
}

TEST(CalField, StoresConvertAndTextsAreBounded) {
    int32_t i32 = 0;
    uint16_t u16 = 0;
    double d = 0;
    EXPECT_TRUE(cal_store_number(cal_field(i32), 2147483648.0 * 4 + 5));
    EXPECT_EQ(i32, 5);  // keeps the low bits, as the 32-bit field would
    EXPECT_TRUE(cal_store_number(cal_field(u16), std::nan("")));
    EXPECT_EQ(u16, 0);
    EXPECT_TRUE(cal_store_number(cal_field(i32), -7.9));
    EXPECT_EQ(i32, -7);
    EXPECT_TRUE(cal_store_number(cal_field(d), 1e300));
    EXPECT_EQ(cal_load_number(cal_field(d)), 1e300);

    CalText text{};
    EXPECT_FALSE(cal_store_number(cal_field(text), 1));
    EXPECT_TRUE(cal_store_text(cal_field(text), std::string(500, 'x')));
    EXPECT_EQ(cal_load_text(cal_field(text)).size(), kCalWordMax);
    EXPECT_FALSE(cal_store_text(cal_field(i32), "x"));
    EXPECT_FALSE(cal_store_text(CalFieldRef{}, "x"));
    EXPECT_TRUE(cal_load_text(CalFieldRef{}).empty());
}

}  // namespace
