#include "util/sysinfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/process.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::ScopedEnv;

class SystemNames : public ::testing::Test {
protected:
    SystemNames() { kelm::reset_system_names_for_test(); }
    ~SystemNames() override {
        plat::set_computer_name_override(std::nullopt);
        kelm::reset_system_names_for_test();
    }
};

TEST_F(SystemNames, ComputerNameIsCutAndCached) {
    plat::set_computer_name_override("INSTRUMENT-PC-NUMBER-7.lab.example");
    char name[32] = "junk";
    EXPECT_EQ(u_computer_name(name, sizeof name), 0);
    EXPECT_STREQ(name, "INSTRUMENT-PC-N");
    plat::set_computer_name_override("OTHER");
    EXPECT_EQ(u_computer_name(name, 6), 0);  // still the cached name, cut to the buffer
    EXPECT_STREQ(name, "INSTR");
}

TEST_F(SystemNames, NoComputerName) {
    plat::set_computer_name_override("");
    char name[16] = "junk";
    EXPECT_EQ(u_computer_name(name, sizeof name), 1);
    EXPECT_STREQ(name, "");
}

TEST_F(SystemNames, UserNameIsCutAndCached) {
    ScopedEnv user("USER", "a-rather-long-login-name");
    char name[U_SYSTEM_NAME_MAX + 1];
    EXPECT_EQ(u_user_name(name), name);
    EXPECT_STREQ(name, "a-rather-long-l");
    const char* cached = u_user_name(nullptr);
    ASSERT_NE(cached, nullptr);
    EXPECT_STREQ(cached, "a-rather-long-l");
}

TEST(FileInternalName, NoneOnThisSystem) {
    char name[32] = "junk";
    EXPECT_EQ(u_file_internal_name("/bin/sh", name), 1);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(u_file_internal_name("/bin/sh", nullptr), 1);
}

// One line of the module report: name, version (may be empty), size,
// "mm/dd/yyyy hh:mm AM", location.
struct ReportLine {
    std::string name;
    std::string version;
    std::string location;
};

bool parse_report_line(const std::string& line, ReportLine& out) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() != 6 && words.size() != 7) return false;
    const bool has_version = words.size() == 7;
    const size_t at = has_version ? 2 : 1;  // the size
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    char tail = 0;
    if (words[at].find_first_not_of("0123456789") != std::string::npos) return false;
    if (std::sscanf(words[at + 1].c_str(), "%2d/%2d/%4d%c", &month, &day, &year, &tail) != 3) return false;
    if (std::sscanf(words[at + 2].c_str(), "%2d:%2d%c", &hour, &minute, &tail) != 2) return false;
    if (words[at + 3] != "AM" && words[at + 3] != "PM") return false;
    out.name = words[0];
    out.version = has_version ? words[1] : "";
    out.location = words[at + 4];
    return out.location.starts_with('/');
}

TEST(LoadedModules, ReportListsEachLibrarySortedByName) {
    CaptureMessages capture;
    ntGetLoadedModules();
    const std::string& text = capture.text();
    const std::string header_tail = " loaded DLLs (file name, version, size in bytes, last modified, location):\n";
    ASSERT_TRUE(text.starts_with("\n")) << text;
    const size_t header_end = text.find(header_tail);
    ASSERT_NE(header_end, std::string::npos) << text;
    const int count = std::stoi(text.substr(1, header_end - 1));
    ASSERT_GT(count, 0);
    EXPECT_TRUE(text.ends_with("\n\n")) << text;

    std::istringstream body(text.substr(header_end + header_tail.size()));
    std::vector<std::string> names;
    std::string line;
    while (std::getline(body, line) && !line.empty()) {
        ReportLine parsed;
        ASSERT_TRUE(parse_report_line(line, parsed)) << line;
        names.push_back(parsed.name);
        if (parsed.name.starts_with("libstdc++.so")) {
            EXPECT_EQ(std::count(parsed.version.begin(), parsed.version.end(), '.'), 2) << line;
        }
    }
    EXPECT_EQ(static_cast<int>(names.size()), count);
    EXPECT_NE(std::find(names.begin(), names.end(), "libc.so.6"), names.end()) << text;
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }));
}

}  // namespace
