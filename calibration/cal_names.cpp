#include "calibration/cal_names.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr CalName kSystemTypes[] = {
    {0, "Unknown", {}, false},
    {1, "Hamal", {}, false},
    {2, "Alnair", {}, false},
    {3, "Alnitak", {}, false},
    {4, "Vega", {"vega"}, true},
    {5, "Mintaka", {"mintaka"}, true},
    {6, "Merak", {"merak"}, true},
    {7, "Bellatrix", {"bellatrix"}, true},
    {8, "Sheratan", {"sheratan"}, true},
    {9, "Zosma", {}, false},
    {10, "Menkar", {"menkar"}, true},
    {11, "Algol", {"algol"}, true},
    {12, "Mirach", {"mirach"}, true},
    {13, "Alpheratz", {"alpheratz"}, true},
    {14, "Antares", {"antares", "ankaa"}, true},
    {15, "Deneb", {"deneb"}, true},
    {16, "FTP", {"ftp"}, true},
    {17, "Kochab", {"kochab"}, true},
    {18, "Pollux", {"pollux"}, true},
    {19, "Rigel", {"rigel", "ftpsi"}, true},
    {20, "Diphda", {"diphda"}, true},
    {21, "Fomalhaut", {"fomalhaut", "nunki"}, true},
    {22, "Castor", {"castor"}, true},
    {23, "VegaCan", {"vegacan"}, true},
    {24, "Almach", {"almach"}, true},
    {25, "Mirfak", {"mirfak"}, true},
    {26, "PolluxCan", {"polluxcan"}, true},
    {27, "Lyra", {"lyra"}, true},
    {28, "Hadar", {"hadar"}, true},
    {29, "Acrux", {"acrux"}, true},
    {30, "Rigel_CAN", {"rigel_can"}, true},
    {31, "Mimosa", {"mimosa"}, true},
    {32, "LyraCan", {"lyracan"}, true},
    {33, "Deneb_CAN", {"deneb_can"}, true},
    {34, "Gacrux", {"gacrux"}, true},
    {35, "Shaula", {"shaula"}, true},
    {36, nullptr, {"special"}, false},
};

constexpr CalName kBoardTypes[] = {
    {0, "None", {"none"}, true},
    {1, "Wezen", {"wezen"}, true},
    {2, "Adhara", {}, true},
    {3, "Vega", {"vega"}, true},
    {4, "Naos", {}, true},
    {5, "Antares", {"antares", "ankaa"}, true},
    {6, "Deneb", {"deneb"}, true},
    {7, "FTP", {"ftp"}, true},
    {8, "CAN", {"can"}, true},
    {9, "NOTNEEDED", {"notneeded"}, true},
};

constexpr CalName kFrameGrabbers[] = {
    {0, "None", {"none"}, true},
    {1, "RPC", {"rpc"}, true},
    {2, "Matrox", {"matrox"}, true},
    {3, "Pulsar", {"pulsar"}, true},
    {4, "Genesis", {"genesis"}, true},
    {5, "Corona", {"corona"}, true},
    {6, "Bandit", {"bandit"}, true},
    {7, "FireWire", {"firewire"}, true},
    {8, "CameraLink", {"cameralink"}, true},
    {9, "FlashBus", {"flashbus"}, true},
    {10, "GigE", {"gige"}, true},
    {11, "X64LVDS", {"x64lvds"}, true},
    {12, "PC2Vision", {"pc2vision"}, true},
};

constexpr CalName kCameraTypes[] = {
    {0, "Unknown", {}, false},
    {1, "XC77CE", {"xc77ce", "xc77"}, true},
    {2, "P62505", {"p62505"}, true},
    {3, "CID2220", {"cid2220"}, true},
    {4, "VIDICON", {"vidicon"}, true},
    {5, "EEV1715A", {"eev1715a"}, true},
    {6, "TM6705", {"tm6705"}, true},
    {7, "XC7500", {"xc7500"}, true},
    {8, "XC7500S", {"xc7500s"}, true},
    {9, "SMD4M15", {"smd4m15"}, true},
    {10, "INFRACAMA", {}, false},
    {11, "CID2250", {"cid2250"}, true},
    {12, "CUSTOM", {"custom"}, true},
    {13, "TM6710", {"tm6710"}, true},
    {14, "SIM200", {"sim200"}, true},
    {15, "BASLER", {"basler"}, true},
    {16, "SU320", {"su320"}, true},
    {17, "DGFLY640", {"dgfly640"}, true},
    {18, "DGFLY1024", {"dgfly1024"}, true},
    {19, "IMPERXVGA", {"imperxvga"}, true},
    {20, "ADIMEC1000", {"adimec1000"}, true},
    {21, "A311F", {"a311f"}, true},
    {22, "A312F", {"a312f"}, true},
    {23, "TM6740", {"tm6740"}, true},
    {24, "DGFLY6200", {"dgfly6200"}, true},
    {25, "SCA640", {"sca640"}, true},
    {26, "ADIMEC4050", {"adimec4050"}, true},
    {27, "ADIMEC4150", {"adimec4150"}, true},
    {28, "PIA640", {"pia640"}, true},
    {29, "E2V7899", {"e2v7899"}, true},
    {30, "PIA1000", {"pia1000"}, true},
    {31, "SCA640G", {"sca640g"}, true},
    {32, "A504K", {"a504k"}, true},
};

constexpr CalName kCameraAligns[] = {
    {0, "Default", {"default"}, true},
    {1, "Center", {"center"}, true},
    {2, "TopLeft", {"topleft"}, true},
};

constexpr CalName kLightTypes[] = {
    {0, "Unknown", {}, false},
    {1, "HeNe", {"hene"}, true},
    {2, "Diode", {"diode"}, true},
    {3, "White", {"white"}, true},
    {4, "Special", {"special"}, true},
    {5, "LED", {"led"}, true},
};

constexpr CalName kLlcInstruments[] = {
    {0, "None", {}, true},
    {1, "DD100MC", {"dd100mc"}, true},
    {2, "DD100MC_B", {"dd100mc_b"}, true},
    {3, "ANTARES", {"antares"}, true},
};

constexpr CalName kPosInstruments[] = {
    {0, "None", {}, true},
    {1, "Corvel", {"corvel"}, true},
    {2, "VEX", {"vex"}, true},
    {3, "Heid", {"heid"}, true},
    {4, "LCDMI", {"lcdmi"}, true},
    {5, "MicroLYNX", {"microlynx"}, true},
    {6, "ZEncoder", {"zencoder"}, true},
    {7, "USDED2", {"usded2"}, true},
    {8, "VEX501", {"vex501"}, true},
    {9, "METRONICS", {"metronics"}, true},
    {10, "PXXVEX501", {"pxxvex501"}, true},
    {11, "Renishaw_StepNet", {"renishaw_stepnet"}, true},
    {12, "StepNet", {"stepnet"}, true},
};

constexpr CalName kTempSensors[] = {
    {0, "None", {}, true},
    {1, "Euro2216e", {"euro2216e"}, true},
};

const CalName* entry_of(const CalNameTable& table, int32_t value) {
    if (value < 0 || static_cast<size_t>(value) >= table.entries.size()) return nullptr;
    return &table.entries[static_cast<size_t>(value)];
}

bool equals_ignoring_case(std::string_view lower, std::string_view word) {
    return lower.size() == word.size() &&
           std::equal(lower.begin(), lower.end(), word.begin(), [](char a, char b) {
               return a == static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
           });
}

}  // namespace

const CalNameTable kCalSystemTypes{"system type", kSystemTypes, "Unknown"};
const CalNameTable kCalBoardTypes{"instrument board", kBoardTypes, "None"};
const CalNameTable kCalFrameGrabbers{"frame grabber", kFrameGrabbers, "None"};
const CalNameTable kCalCameraTypes{"camera", kCameraTypes, "Unknown"};
const CalNameTable kCalCameraAligns{"camera alignment", kCameraAligns, "Default"};
const CalNameTable kCalLightTypes{"light type", kLightTypes, "Unknown"};
const CalNameTable kCalLlcInstruments{"light-level controller", kLlcInstruments, "None"};
const CalNameTable kCalPosInstruments{"position instrument", kPosInstruments, "None"};
const CalNameTable kCalTempSensors{"temperature sensor", kTempSensors, "None"};

const char* cal_name(const CalNameTable& table, int32_t value) {
    const CalName* entry = entry_of(table, value);
    return entry != nullptr && entry->name != nullptr ? entry->name : table.fallback;
}

int32_t cal_name_value(const CalNameTable& table, std::string_view word) {
    for (const CalName& entry : table.entries) {
        for (const char* accepted : entry.words) {
            if (accepted == nullptr) break;
            if (equals_ignoring_case(accepted, word)) return entry.value;
        }
    }
    return CAL_NO_VALUE;
}

bool cal_name_writable(const CalNameTable& table, int32_t value) {
    const CalName* entry = entry_of(table, value);
    return entry != nullptr && entry->writable;
}
