// The FTP materials file: the optical constants of sample materials for the
// FTP instrument, and the check of the slot's magnifications against the
// four that the materials data describe.
//
// The file is text. It needs a heading line, "## Phasorix FTP Materials File
// - Format 1"; other lines beginning with "##" are descriptions and are
// skipped; a line beginning with a single '#' is kept as a comment record.
// Every other line is a material:
//   "Name"  N  K  PCOR  Disper[0]  Disper[1]  Disper[2]  Disper[3]  [# comment]
// with the name in double or single quotes (at most 20 characters), N and K
// in [0,100], the rest in [-2pi,2pi] rad; '*' or '?' marks an unknown value
// (stored as +infinity). Lines hold at most 200 characters.
#pragma once

#include <cstdint>

struct SystemInfo;
struct FtpInfo;
struct FtpMaterials;

inline constexpr const char* kFtpMaterialsTitle = "Phasorix FTP Materials File";
inline constexpr const char* kFtpMaterialsFormatWord = "Format";
inline constexpr int32_t kFtpMaterialsFormat = 1;
inline constexpr int32_t kFtpMaterialsMaxLine = 200;
inline constexpr int32_t kFtpMaterialNameMax = 20;
inline constexpr int32_t kFtpMaterialCommentMax = 100;
// Errors reported before the reader gives up.
inline constexpr int32_t kFtpMaterialsMaxErrors = 10;
// The list grows by this many records.
inline constexpr int32_t kFtpMaterialsGrowBy = 5;
// Tolerance of the magnification match.
inline constexpr double kFtpMagTolerance = 0.001;

inline constexpr const char* kFtpMaterialsColumnHeading =
    "## Name                   N           K          PCOR       Disper[0]  Disper[1]  Disper[2]  Disper[3] # Comment";
inline constexpr const char* kFtpMaterialsSampleLine =
    "\"Aluminum\"              023.000000  085.000000  00.035766  00.000000  00.000000  00.000000  00.000000  # 606\n";

// Loads the slot's materials file (ftpInfo->materialsFile, found through
// u_find_file unless it is a path from the root) into ftpInfo's list, then
// checks the magnifications. The old list is freed first, so after a failure
// the slot has no materials. Errors: ERR_SYS_INFO_NOT_AVAIL,
// ERR_FTP_NO_FTP_INFO, ERR_INVALID_PARAM (no file name),
// ERR_FTP_CANT_READ_MATLS_FILE, and those of ftp_check_magnifications.
int32_t ftp_load_materials(SystemInfo* si);

// Reads a materials file. On success the new list replaces the one in
// `materials` (whose allowedMag stays as it is); on failure that list is
// kept. Errors: ERR_INVALID_PARAM, ERR_CANT_OPEN_FILE,
// ERR_FTP_CORRUPT_MATLS_FILE (a fatal line, too many errors, or no
// acceptable material), ERR_NO_MEM.
int32_t ftp_read_materials_file(const char* path, FtpMaterials* materials);

// Maps each of the slot's magnifications to the index (0..3) of the allowed
// magnification within 0.001 of it; entries beyond magCount are -1. Errors:
// ERR_SYS_INFO_NOT_AVAIL, ERR_FTP_NO_FTP_INFO,
// ERR_FTP_INVALID_MAGNIFICATION (earlier magnifications stay mapped).
int32_t ftp_check_magnifications(const SystemInfo* si, FtpInfo* ftp);

// The line-format description printed with the help text, built on first
// use; null when it cannot be built.
const char* ftp_materials_line_format();
