// The calibration file's vocabulary: every word the reader recognises, in
// lower case and sorted by byte value so that a lookup can bisect it. A
// word's token is its index in this list; the scanner adds three tokens of
// its own (end of file, end of line, unrecognised), all negative.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::array<std::string_view, 236> kCalVocabulary = {
    ",", ":", "[", "]", "a311f", "a312f",
    "a504k", "abswavemeter", "acrux", "adc", "adimec1000", "adimec4050",
    "adimec4150", "af_gain", "af_ref_adc", "af_ref_gain", "af_thresh", "algol",
    "align", "alignmodepct", "almach", "alpheratz", "ankaa", "antares",
    "avgcurlimit", "axiscomp_a", "axiscomp_b", "axiscomp_p", "axiscomp_r", "axiscomp_t",
    "axiscomp_x", "axiscomp_y", "axiscomp_z", "bad", "bandit", "basler",
    "bellatrix", "bpix", "bpixels", "camera", "cameralink", "can",
    "castor", "center", "cid2220", "cid2250", "clock", "config",
    "configuration", "corona", "corvel", "custom", "dark", "dd100mc",
    "dd100mc_b", "default", "deneb", "deneb_can", "dgfly1024", "dgfly6200",
    "dgfly640", "diffdiskfraction", "diffdiskrate", "diode", "diphda", "dynwavegen",
    "e2v7899", "eev1715a", "encodedradiusscale", "euro2216e", "fast", "file",
    "firewire", "flashbus", "fomalhaut", "freq", "ftp", "ftpavg_k0",
    "ftpavgk0", "ftpdisper", "ftpdmicenter", "ftpdmiscale", "ftpimagerot", "ftplog",
    "ftpmaterials", "ftpsi", "ftpsiinvertdata", "ftpsys", "ftpsysinitper", "ftptemperature",
    "ftptiltcenter", "ftpzerogageper", "ftpzeroptpos", "fwdvoltage", "gacrux", "genesis",
    "gige", "hadar", "heid", "hene", "ignoredualbrushmotor", "ignorefocusndw",
    "ignorelaps", "ignorepzt", "ignorewand", "ignorezoom", "imperxvga", "instr",
    "instrcomm", "instrname", "intfradiusscale", "invertdata", "kochab", "lcdmi",
    "led", "light", "llc", "lyra", "lyracan", "macaddress",
    "matrox", "menkar", "merak", "metronics", "microlynx", "mimosa",
    "mintaka", "mirach", "mirfak", "motionctrl", "nointensavg", "nommag",
    "none", "notneeded", "nunki", "options", "p62505", "pc2vision",
    "pendentmenu", "period", "pia1000", "pia640", "pidvals_a", "pidvals_b",
    "pidvals_p", "pidvals_r", "pidvals_t", "pidvals_x", "pidvals_y", "pidvals_z",
    "pifoc", "pifocpolarity", "pifoctype", "pll", "pollux", "polluxcan",
    "posinstr", "pr_gain", "pr_offset", "pr_ref_adc", "pr_ref_gain", "pr_thresh",
    "pulsar", "pxxvex501", "pztid", "pztpwr", "radcrvfoccal", "radcrvpwrcal",
    "ramp", "range", "remote", "renishaw_stepnet", "rigel", "rigel_can",
    "ringspot", "rpc", "sca640", "sca640g", "scancal", "sdccal",
    "shaula", "sheratan", "sim200", "sleeptimeout", "slow", "smd4m15",
    "special", "splitx", "splity", "stepnet", "su320", "sysmag",
    "target", "tempsensor", "tm6705", "tm6710", "tm6740", "topleft",
    "touchscreen", "trans", "turret", "type", "unit", "usded2",
    "vega", "vegacan", "vegaenczoombacklash", "vegaenczoomcalfile", "vegaenczoomconfig", "vegaenczoomproglim",
    "vegaenczoomstdmags", "vegaenczoomwandlim", "version", "vex", "vex501", "vidicon",
    "wezen", "white", "wmcomm", "wmmaxbuckets", "wmmonopd", "wmsysgain",
    "wmtunerange", "wmtunerate", "x64lvds", "xaxisbacklash", "xc7500", "xc7500s",
    "xc77", "xc77ce", "yaxisbacklash", "zaxisbacklash", "zaxiscal", "zcanclosedloop",
    "zencoder", "zoom",
};

// Tokens of the scanner that are not vocabulary words.
inline constexpr int32_t CAL_TOK_EOF = -1;
inline constexpr int32_t CAL_TOK_EOL = -2;
inline constexpr int32_t CAL_TOK_UNRECOGNISED = -3;

// The token of a lower-case word, or CAL_TOK_UNRECOGNISED. Bisects the
// sorted vocabulary; usable at compile time.
constexpr int32_t cal_find_token(std::string_view lower_word) {
    size_t lo = 0;
    size_t hi = kCalVocabulary.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        const int cmp = kCalVocabulary[mid].compare(lower_word);
        if (cmp == 0) return static_cast<int32_t>(mid);
        if (cmp < 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return CAL_TOK_UNRECOGNISED;
}

// The token of a vocabulary word known when the program is built: a word
// outside the vocabulary does not compile.
consteval int32_t cal_tok(std::string_view lower_word) {
    const int32_t token = cal_find_token(lower_word);
    if (token < 0) throw "not a calibration vocabulary word";
    return token;
}

// The token of a word in any case (the reader lowercases every word before
// it looks it up). Words longer than the scanner's limit are unrecognised.
int32_t cal_token_of(std::string_view word);

// The vocabulary word of a token, or an empty view for the scanner's own
// tokens and values outside the list.
std::string_view cal_token_word(int32_t token);
