#include "util/sysinfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
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

TEST(LoadedModules, ReportListsEachLibrarySortedByName) {
    CaptureMessages capture;
    ntGetLoadedModules();
    const std::string& text = capture.text();
    std::smatch header;
    ASSERT_TRUE(std::regex_search(
        text, header,
        std::regex("^\n([0-9]+) loaded DLLs \\(file name, version, size in bytes, last modified, location\\):\n")))
        << text;
    const int count = std::stoi(header[1]);
    ASSERT_GT(count, 0);
    EXPECT_TRUE(text.ends_with("\n\n")) << text;

    std::istringstream body(text.substr(static_cast<size_t>(header.length(0))));
    const std::regex line_form(
        R"(^(\S+) +  +([0-9.]*)  +([0-9]+)  (\d\d/\d\d/\d{4} \d\d:\d\d [AP]M)  (/.*)$)");
    std::vector<std::string> names;
    std::string line;
    while (std::getline(body, line) && !line.empty()) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, line_form)) << line;
        names.push_back(m[1]);
        if (m[1].str().starts_with("libstdc++.so")) {
            EXPECT_TRUE(std::regex_match(m[2].str(), std::regex(R"(\d+\.\d+\.\d+)"))) << line;
        }
    }
    EXPECT_EQ(static_cast<int>(names.size()), count);
    EXPECT_NE(std::find(names.begin(), names.end(), "libc.so.6"), names.end()) << text;
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }));
}

}  // namespace
