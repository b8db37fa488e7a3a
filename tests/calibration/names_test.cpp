#include <gtest/gtest.h>

#include <string>

#include "calibration/cal_names.h"
#include "calibration/cal_vocab.h"

namespace {

struct WordCase {
    const CalNameTable* table;
    const char* word;
    int32_t value;
};

TEST(CalNames, WordsFindTheirValueInAnyCaseIncludingAliases) {
    const WordCase cases[] = {
        {&kCalSystemTypes, "vega", 4},       {&kCalSystemTypes, "ANKAA", 14},
        {&kCalSystemTypes, "antares", 14},   {&kCalSystemTypes, "ftpsi", 19},
        {&kCalSystemTypes, "Rigel", 19},     {&kCalSystemTypes, "nunki", 21},
        {&kCalSystemTypes, "special", 36},   {&kCalSystemTypes, "zosma", CAL_NO_VALUE},
        {&kCalSystemTypes, "hamal", CAL_NO_VALUE},
        {&kCalBoardTypes, "antares", 5},     {&kCalBoardTypes, "ankaa", 5},
        {&kCalBoardTypes, "vega", 3},        {&kCalBoardTypes, "NotNeeded", 9},
        {&kCalBoardTypes, "adhara", CAL_NO_VALUE},
        {&kCalFrameGrabbers, "PC2Vision", 12}, {&kCalFrameGrabbers, "none", 0},
        {&kCalCameraTypes, "xc77", 1},       {&kCalCameraTypes, "XC77CE", 1},
        {&kCalCameraTypes, "custom", 12},    {&kCalCameraTypes, "a504k", 32},
        {&kCalCameraTypes, "infracama", CAL_NO_VALUE}, {&kCalCameraTypes, "unknown", CAL_NO_VALUE},
        {&kCalCameraAligns, "TopLeft", 2},
        {&kCalLightTypes, "special", 4},     {&kCalLightTypes, "hene", 1},
        {&kCalLightTypes, "unknown", CAL_NO_VALUE},
        {&kCalLlcInstruments, "antares", 3}, {&kCalLlcInstruments, "dd100mc_b", 2},
        {&kCalLlcInstruments, "none", CAL_NO_VALUE},
        {&kCalPosInstruments, "zencoder", 6}, {&kCalPosInstruments, "Renishaw_StepNet", 11},
        {&kCalTempSensors, "EURO2216E", 1},  {&kCalTempSensors, "none", CAL_NO_VALUE},
        {&kCalSystemTypes, "", CAL_NO_VALUE},
    };
    for (const WordCase& c : cases) {
        EXPECT_EQ(cal_name_value(*c.table, c.word), c.value) << c.table->what << " " << c.word;
    }
}

struct NameCase {
    const CalNameTable* table;
    int32_t value;
    const char* name;
};

TEST(CalNames, ValuesGiveTheWritersNameOrTheFallback) {
    const NameCase cases[] = {
        {&kCalSystemTypes, 1, "Hamal"},      {&kCalSystemTypes, 30, "Rigel_CAN"},
        {&kCalSystemTypes, 36, "Unknown"},   {&kCalSystemTypes, 37, "Unknown"},
        {&kCalSystemTypes, -1, "Unknown"},   {&kCalBoardTypes, 9, "NOTNEEDED"},
        {&kCalBoardTypes, 10, "None"},       {&kCalFrameGrabbers, 13, "None"},
        {&kCalCameraTypes, 1, "XC77CE"},     {&kCalCameraTypes, 10, "INFRACAMA"},
        {&kCalCameraTypes, 33, "Unknown"},   {&kCalCameraAligns, 3, "Default"},
        {&kCalLightTypes, 5, "LED"},         {&kCalLightTypes, 6, "Unknown"},
        {&kCalLlcInstruments, 4, "None"},    {&kCalPosInstruments, 12, "StepNet"},
        {&kCalPosInstruments, 13, "None"},   {&kCalTempSensors, 2, "None"},
    };
    for (const NameCase& c : cases) {
        EXPECT_STREQ(cal_name(*c.table, c.value), c.name) << c.table->what << " " << c.value;
    }
}

bool in_ranges(int32_t v, std::initializer_list<std::pair<int32_t, int32_t>> ranges) {
    for (auto [lo, hi] : ranges) {
        if (v >= lo && v <= hi) return true;
    }
    return false;
}

TEST(CalNames, WriterAcceptsExactlyTheDefinedTypes) {
    for (int32_t v = -1; v <= 40; ++v) {
        EXPECT_EQ(cal_name_writable(kCalSystemTypes, v), in_ranges(v, {{4, 8}, {10, 35}})) << v;
        EXPECT_EQ(cal_name_writable(kCalCameraTypes, v), in_ranges(v, {{1, 9}, {11, 32}})) << v;
        EXPECT_EQ(cal_name_writable(kCalLightTypes, v), in_ranges(v, {{1, 5}})) << v;
    }
}

TEST(CalNames, EveryTableIsIndexedByValueAndItsWordsAreVocabulary) {
    const CalNameTable* tables[] = {&kCalSystemTypes,    &kCalBoardTypes,     &kCalFrameGrabbers,
                                    &kCalCameraTypes,    &kCalCameraAligns,   &kCalLightTypes,
                                    &kCalLlcInstruments, &kCalPosInstruments, &kCalTempSensors};
    for (const CalNameTable* table : tables) {
        for (size_t i = 0; i < table->entries.size(); ++i) {
            const CalName& entry = table->entries[i];
            EXPECT_EQ(entry.value, static_cast<int32_t>(i)) << table->what;
            for (const char* word : entry.words) {
                if (word == nullptr) break;
                EXPECT_GE(cal_find_token(word), 0) << table->what << " word " << word;
                // The word leads back to its own entry.
                EXPECT_EQ(cal_name_value(*table, word), entry.value) << word;
            }
        }
    }
}

}  // namespace
