#include "util/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "util/dirs.h"

namespace {

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::write_file;

class RegistryStore : public ::testing::Test {
protected:
    RegistryStore() : config_("TQ_CONFIG_DIR", dir_.path().c_str()) { kelm::reset_dirs_for_test(); }
    ~RegistryStore() override { kelm::reset_dirs_for_test(); }

    void write_store() {
        write_file(dir_.file(U_REGISTRY_FILE_NAME),
                   "; instrument settings\r\n"
                   "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Product]\r\n"
                   "\"InstallDir\"=\"/opt/product\"\r\n"
                   "\"Quoted\" = \"a \\\"b\\\" c\\\\d\"\r\n"
                   "\"Count\"=dword:00000003\r\n"
                   "@=\"default text\"\r\n"
                   "\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Maker\\Product]\r\n"
                   "\"InstallDir\"=\"/home/user/product\"\n");
    }

    int32_t read(uint32_t root, const char* key, const char* value, int32_t size = 64) {
        char buffer[64] = "junk";
        const int32_t rc = u_registry_text(root, key, value, buffer, size);
        text_ = buffer;
        return rc;
    }

    TempDir dir_;
    ScopedEnv config_;
    std::string text_;
};

TEST_F(RegistryStore, ReadsTextValues) {
    write_store();
    struct Case {
        uint32_t root;
        const char* key;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "InstallDir", "/opt/product"},
        {U_REG_LOCAL_MACHINE, "SOFTWARE\\maker\\product\\", "installdir", "/opt/product"},
        {U_REG_CURRENT_USER, "Software\\Maker\\Product", "InstallDir", "/home/user/product"},
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "Quoted", "a \"b\" c\\d"},
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", nullptr, "default text"},
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "", "default text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.root, c.key, c.value), 0) << c.key << " " << (c.value ? c.value : "(default)");
        EXPECT_EQ(text_, c.expected);
    }
}

TEST_F(RegistryStore, MissingWrongTypeOrTooLongIsOne) {
    write_store();
    struct Case {
        uint32_t root;
        const char* key;
        const char* value;
        int32_t size;
    };
    const Case cases[] = {
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "Count", 64},       // not a text value
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "Missing", 64},
        {U_REG_LOCAL_MACHINE, "Software\\Maker", "InstallDir", 64},           // a parent key
        {U_REG_USERS, "Software\\Maker\\Product", "InstallDir", 64},
        {0x12345678u, "Software\\Maker\\Product", "InstallDir", 64},
        {U_REG_LOCAL_MACHINE, nullptr, "InstallDir", 64},
        {U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "InstallDir", 12},  // 12 characters + zero
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.root, c.key, c.value, c.size), 1) << (c.key ? c.key : "(none)") << " " << c.value;
        EXPECT_EQ(text_, "");
    }
    EXPECT_EQ(read(U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "InstallDir", 13), 0);
    EXPECT_EQ(text_, "/opt/product");
}

TEST_F(RegistryStore, NoStoreFileIsOne) {
    EXPECT_EQ(read(U_REG_LOCAL_MACHINE, "Software\\Maker\\Product", "InstallDir"), 1);
}

}  // namespace
